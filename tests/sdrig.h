#pragma once

// What the SD tests share: a simulated SD box on a pseudo-terminal, the link
// object on the other end, and a record of everything the link reported.

#include "linkclock.h"
#include "sdbox.h"
#include "serialcomkarn.h"

#include <QFile>
#include <QObject>
#include <QStringList>

class sdRig
{
public:
    explicit sdRig(const sdBox::Config &config = sdBox::Config()) : box(config)
    {
        boxStarted = box.start();
        link.setPortname(box.devicePath());
        QObject::connect(&link, &serialComKarn::writeLog, &link, [this](const QString &line) {
            log.append(line);
        });
        QObject::connect(&link, &serialComKarn::sendCurrentAction, &link, [this](int code) {
            codes.append(code);
            events.append(QStringLiteral("c%1").arg(code));
        });
        QObject::connect(&link, &serialComKarn::sendProgress, &link, [this](int value) {
            progress.append(value);
            events.append(QStringLiteral("p%1").arg(value));
        });
    }

    int count(int code) const { return codes.count(code); }

    sdBox box;
    serialComKarn link;
    bool boxStarted = false;
    QStringList log;
    QList<int> codes;
    QList<int> progress;
    QStringList events;
};

// A file of `size` bytes whose bytes 16 to 19 are `signature` (hex).
inline QByteArray sdImage(const char *signature, int size, char fill = 'x')
{
    QByteArray data(size, fill);
    for (int i = 0; i < size; ++i)
        data[i] = char((i * 13 + 5) & 0xff);
    const QByteArray sig = QByteArray::fromHex(signature);
    for (int i = 0; i < sig.size() && 16 + i < size; ++i)
        data[16 + i] = sig[i];
    return data;
}

inline bool sdWrite(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

inline QByteArray sdRead(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
