#pragma once

#include "telnetreader.h"

#include <QIODevice>

#include <bitset>

class QTcpSocket;

// The box's bytes over an RFC 2217 server's telnet stream: reads give only
// the data, writes escape it, and the server's option requests are answered
// as they come (binary both ways and COM-PORT-OPTION wanted, anything else
// refused once). Its waits block like a serial port's, in the caller's
// thread; bytesToWrite() is what the socket has not yet handed on.
class rfc2217Device : public QIODevice
{
    Q_OBJECT
public:
    // What the server said to COM-PORT-OPTION.
    enum Answer { Unanswered, Accepted, Refused };

    explicit rfc2217Device(QTcpSocket *socket, QObject *parent = nullptr);

    // Asks for binary mode both ways and for COM-PORT-OPTION.
    void offer();
    // Sends one RFC 2217 command (SET-BAUDRATE and the like).
    void command(unsigned char code, const QByteArray &value);
    Answer comPort() const { return m_comPort; }
    // The server's replies to our commands (the command's code + 100 first).
    QList<QByteArray> takeReplies();
    // Waits up to `ms` for anything from the server, telnet included.
    bool waitForServer(int ms);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override;
    bool canReadLine() const override;
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 readLineData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    // Takes in what the socket holds without waiting.
    void pump();
    void answer(const telnetReader::Request &request);
    void tell(unsigned char verb, unsigned char option);

    QTcpSocket *m_socket;
    telnetReader m_reader;
    QByteArray m_data;           // the box's bytes not yet read
    int m_dataStart = 0;         // read up to here; compacted now and then
    Answer m_comPort = Unanswered;
    QList<QByteArray> m_replies;
    std::bitset<256 * 4> m_told;   // (verb, option) already sent, so no request loops
};
