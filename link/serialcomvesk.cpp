#include "serialcomvesk.h"

#include "serialline.h"

#include <QSerialPort>

serialComVesk::serialComVesk() = default;

serialComVesk::serialComVesk(const QString &port)
{
    setPortname(port);
}

serialComVesk::serialComVesk(const QString &port, const QString &file)
{
    setPortname(port);
    setFilename(file);
}

serialComVesk::~serialComVesk()
{
    closePort();
}

void serialComVesk::setPortname(const QString &name)
{
    portname = name;
}

void serialComVesk::setFilename(const QString &name)
{
    filename = name;
}

void serialComVesk::requestStop()
{
    m_stop.store(true);
}

bool serialComVesk::openPort()
{
    if (!serialPort)
        serialPort = new QSerialPort(this);
    if (serialLine::open(serialPort, portname))
        return true;
    emit writeLog(QStringLiteral("Error: open Port: ") + serialPort->errorString());
    closePort();
    emit sendCurrentAction(68);
    emit sendCurrentAction(41);
    return false;
}

void serialComVesk::closePort()
{
    if (!serialPort)
        return;
    serialPort->close();
    delete serialPort;
    serialPort = nullptr;
}

void serialComVesk::runJob(int code, void (serialComVesk::*body)())
{
    emit sendCurrentAction(40);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    (this->*body)();
    closePort();
    emit sendCurrentAction(41);
}

void serialComVesk::updateFirmware()
{
    runJob(66, &serialComVesk::doUpdateFirmware);
}

void serialComVesk::sendChannellist()
{
    runJob(50, &serialComVesk::doSendChannellist);
}

void serialComVesk::getChannellist()
{
    runJob(42, &serialComVesk::doGetChannellist);
}

void serialComVesk::readSoftwareVersion() {}
void serialComVesk::readLowPowerVersion() {}
void serialComVesk::readMACAddress() {}
void serialComVesk::initFactoryReset() {}

unsigned char serialComVesk::checkFiletype(QString)
{
    return 0;
}

void serialComVesk::doUpdateFirmware() {}
void serialComVesk::doSendChannellist() {}
void serialComVesk::doGetChannellist() {}
