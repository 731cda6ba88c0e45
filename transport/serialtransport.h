#pragma once

#include "linetransport.h"

class QSerialPort;

// A serial port, local or behind a USB adapter: a device path ("/dev/" put
// in front of a bare name), the permission and dialout hint when it cannot
// be opened, a hung-up tty as the sign of an unplugged adapter.
class serialTransport : public lineTransport
{
public:
    ~serialTransport() override;

    bool open(const QString &name, const LogSink &log) override;
    void close() override;
    QIODevice *device() const override;
    bool failed() const override;
    QString hungUp() const override;
    QString failure() const override;
    QString goneText() const override;

    const QSerialPort *port() const { return m_port; }

private:
    QSerialPort *m_port = nullptr;
};
