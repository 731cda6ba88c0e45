#pragma once

#include <QString>

class QSerialPort;

// Brings a port up with the boxes' line settings: 115200 baud, 8 data bits,
// no parity, one stop bit, no flow control, opened read-write.
class serialLine
{
public:
    static bool open(QSerialPort *port, const QString &name);
};
