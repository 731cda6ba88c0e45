#pragma once

#include <QFile>
#include <QString>

#include <string>

// Strings to and from the platform layer, which takes and gives the
// system's own: on POSIX its bytes (file names as QFile::encodeName makes
// them, texts in the locale's encoding), on Windows UTF-8.
inline std::string systemText(const QString &text)
{
#ifdef Q_OS_WIN
    return text.toStdString();
#else
    return QFile::encodeName(text).toStdString();
#endif
}

// What the user reads, in a log or on the terminal, as bytes: on POSIX in
// the locale's encoding, as the terminal shows it; on Windows UTF-8, which
// every editor there reads, whatever the code page.
inline QByteArray userBytes(const QString &text)
{
#ifdef Q_OS_WIN
    return text.toUtf8();
#else
    return text.toLocal8Bit();
#endif
}

inline QString fromSystem(const std::string &text)
{
#ifdef Q_OS_WIN
    return QString::fromStdString(text);
#else
    return QString::fromLocal8Bit(text.c_str());
#endif
}
