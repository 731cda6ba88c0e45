#pragma once

#include "linetransport.h"

class comPortDevice;

// A serial port through the platform layer, where Qt has no serial port
// (the program for Windows): "COM3", "\\.\COM10" or a device path. Open
// failures name the system's reason; a port that fails a read or write, or
// whose line the system reports hung up, is gone.
class comPortTransport : public lineTransport
{
public:
    ~comPortTransport() override;

    bool open(const QString &name, const LogSink &log) override;
    void close() override;
    QIODevice *device() const override;
    bool failed() const override;
    QString hungUp() const override;
    QString failure() const override;
    QString goneText() const override;
    // Hands what the device holds to the system without waiting.
    void push() override;

private:
    comPortDevice *m_port = nullptr;
};
