#include "serialline.h"

#include <QSerialPort>

bool serialLine::open(QSerialPort *port, const QString &name)
{
    port->setPortName(name);
    // Settings given to a closed port are applied when it opens, so one
    // opening suffices and the line is never touched with wrong settings.
    port->setBaudRate(115200, QSerialPort::AllDirections);
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setDataBits(QSerialPort::Data8);
    port->setStopBits(QSerialPort::OneStop);
    port->setParity(QSerialPort::NoParity);
    return port->open(QIODevice::ReadWrite);
}
