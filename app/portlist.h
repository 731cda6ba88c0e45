#pragma once

#include <QString>
#include <QStringList>

class QSerialPortInfo;

// What `velmora --list-ports` prints: one tab-separated line per serial port
// Qt knows, ending with whether this user may open it and, if not, what to do.
// Needs no display, so it runs before any application object exists.
class portList
{
public:
    static QStringList lines();
    static QString line(const QSerialPortInfo &port);
    // "ok", or why the device cannot be opened for reading and writing.
    static QString access(const QString &path);
};
