#pragma once

// A folder in which no file can be created while existing files stay
// writable: read-only mode for a normal user, the immutable attribute for
// root (whom modes do not stop). Unlocked again when it goes.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>

#include <unistd.h>

struct lockedFolder
{
    explicit lockedFolder(const QString &path) : path(path)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
            locked = true;
        else
            locked = immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~lockedFolder()
    {
        if (immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path;
    bool locked = false;
    bool immutable = false;
};
