#pragma once

// Shared by the HD link tests: a link wired to recorders, a box on a real
// pseudo-terminal, and files with the HD signatures.

#include "hdbox.h"
#include "linkclock.h"
#include "serialcomvesk.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QObject>
#include <QStringList>

struct hdRecord
{
    QList<int> codes;
    QStringList logs;
    QList<int> progress;
    QStringList results;   // results of the service queries

    // First log line that starts with the prefix, or a null string.
    QString log(const QString &prefix) const
    {
        for (const QString &l : logs)
            if (l.startsWith(prefix))
                return l;
        return QString();
    }
};

inline void hdWire(serialComVesk &link, hdRecord &rec)
{
    QObject::connect(&link, &serialComVesk::sendCurrentAction, [&rec](int c) { rec.codes << c; });
    QObject::connect(&link, &serialComVesk::writeLog, [&rec](const QString &l) { rec.logs << l; });
    QObject::connect(&link, &serialComVesk::sendProgress, [&rec](int p) { rec.progress << p; });
    QObject::connect(&link, &serialComVesk::sendSoftwareVersion, [&rec](const QString &v) { rec.results << v; });
    QObject::connect(&link, &serialComVesk::sendLowPowerVersion, [&rec](const QString &v) { rec.results << v; });
    QObject::connect(&link, &serialComVesk::sendMACAddress, [&rec](const QString &v) { rec.results << v; });
}

// `size` bytes with the given signature at offsets 16..19 and a pattern that
// tells every position apart.
inline QByteArray hdFileBytes(qint64 size, const char *signatureHex = "00004023")
{
    QByteArray bytes(int(size), '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xff);
    const QByteArray sig = QByteArray::fromHex(signatureHex);
    for (int i = 0; i < sig.size() && 16 + i < bytes.size(); ++i)
        bytes[16 + i] = sig.at(i);
    return bytes;
}

inline bool hdWrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A box whose file ends at a known length, so no quiet gap is waited.
inline hdBox::Behaviour hdQuickBox(qint64 fileSize)
{
    hdBox::Behaviour b;
    b.fileSize = fileSize;
    return b;
}

// Restores the full windows when a test that shrank them ends.
struct hdScale
{
    explicit hdScale(double f) { linkClock::setScale(f); }
    ~hdScale() { linkClock::setScale(1.0); }
};
