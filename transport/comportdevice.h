#pragma once

#include "platformserial.h"

#include <QByteArray>
#include <QIODevice>

#include <string>

// The platform layer's serial port as a QIODevice, for a Qt without
// QSerialPort (the program for Windows). Like QSerialPort used without an
// event loop: bytes move only in the waits, which block the calling thread
// for at most the time given; write() buffers until waitForBytesWritten().
class comPortDevice : public QIODevice
{
    Q_OBJECT
public:
    explicit comPortDevice(QObject *parent = nullptr);
    ~comPortDevice() override;

    // Opens the port by the system's path with the boxes' line settings;
    // 0 or the system's error number.
    int openPort(const std::string &path);
    void close() override;
    // The port's own handle, for the platform layer's line checks; -1 when closed.
    std::intptr_t handle() const { return m_port.handle(); }
    // The system's error number of the first failed read or write, else 0.
    int error() const { return m_error; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override;
    bool canReadLine() const override;
    // Takes what arrives within msecs (at most); true when anything did.
    bool waitForReadyRead(int msecs) override;
    // Hands buffered bytes to the system, waiting up to msecs for room; true
    // when any were taken.
    bool waitForBytesWritten(int msecs) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 readLineData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    bool failed(int error);

    platformSerial m_port;
    QByteArray m_in;
    QByteArray m_out;
    int m_error = 0;
};
