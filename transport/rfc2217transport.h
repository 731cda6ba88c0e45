#pragma once

#include "tcptransport.h"

class rfc2217Device;

// A serial server's port through RFC 2217 ("rfc2217://host:port"): a telnet
// connection in binary mode both ways whose serial side the client sets to
// the boxes' line settings, once per job. A server that refuses
// COM-PORT-OPTION still carries the bytes as a plain binary telnet line.
class rfc2217Transport : public tcpTransport
{
public:
    // How long the server gets to answer the option and each setting; a live
    // server answers at once, and one that does not is still usable.
    static constexpr int negotiateMs = 2000;

    ~rfc2217Transport() override;

    void close() override;
    QIODevice *device() const override;

protected:
    bool begin(const LogSink &log) override;

private:
    // The server said it cannot open its device: the port is refused.
    bool refusedByServer(const LogSink &log);
    // Whether the server answered COM-PORT-OPTION (and with what) in time.
    bool awaitComPort();
    // Sets 115200 8N1, no flow control; true when the server confirmed each.
    // A confirmation of another value than asked sets `mismatch`, in words.
    bool setLine(const LogSink &log, QString *mismatch);

    rfc2217Device *m_device = nullptr;
};
