#include "serialcomkarn.h"

#include "serialline.h"

#include <QSerialPort>

serialComKarn::serialComKarn() = default;

serialComKarn::serialComKarn(const QString &port)
{
    setPortname(port);
}

serialComKarn::serialComKarn(const QString &port, const QString &file)
{
    setPortname(port);
    setFilename(file);
}

serialComKarn::~serialComKarn()
{
    closePort();
}

void serialComKarn::setPortname(const QString &name)
{
    portname = name;
}

void serialComKarn::setFilename(const QString &name)
{
    filename = name;
}

void serialComKarn::requestStop()
{
    m_stop.store(true);
}

bool serialComKarn::openPort()
{
    if (!serialPort)
        serialPort = new QSerialPort(this);
    if (serialLine::open(serialPort, portname))
        return true;
    serialPort->close();
    emit writeLog(QStringLiteral("Error: open Port: ") + serialPort->errorString());
    closePort();
    emit sendCurrentAction(21);
    emit sendCurrentAction(1);
    return false;
}

void serialComKarn::closePort()
{
    if (!serialPort)
        return;
    serialPort->close();
    delete serialPort;
    serialPort = nullptr;
}

void serialComKarn::runJob(int code, void (serialComKarn::*body)())
{
    emit sendCurrentAction(0);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    (this->*body)();
    closePort();
    emit sendCurrentAction(1);
}

void serialComKarn::updateFirmware()
{
    runJob(15, &serialComKarn::doUpdateFirmware);
}

void serialComKarn::sendChannellist()
{
    runJob(6, &serialComKarn::doSendChannellist);
}

void serialComKarn::getChannellist()
{
    runJob(2, &serialComKarn::doGetChannellist);
}

uchar serialComKarn::checkFiletype(QString)
{
    return 0;
}

void serialComKarn::doUpdateFirmware() {}
void serialComKarn::doSendChannellist() {}
void serialComKarn::doGetChannellist() {}
