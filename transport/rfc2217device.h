#pragma once

#include "telnetreader.h"

#include <QIODevice>
#include <QMap>

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
    // RFC 2217: the server's reply to a command carries the command's code plus this.
    static constexpr unsigned char replyOffset = 100;

    // What the server said to COM-PORT-OPTION.
    enum Answer { Unanswered, Accepted, Refused };

    explicit rfc2217Device(QTcpSocket *socket, QObject *parent = nullptr);

    // Asks for binary mode both ways and for COM-PORT-OPTION.
    void offer();
    // Sends one RFC 2217 command (SET-BAUDRATE and the like).
    void command(unsigned char code, const QByteArray &value);
    Answer comPort() const { return m_comPort; }
    // The server's replies to our SET commands (the command's code + 100
    // first), the latest of each; anything else it tells is dropped.
    QList<QByteArray> takeReplies();
    // Up to `n` of the box's bytes not yet read, left where they are.
    QByteArray waiting(int n) const { return m_data.mid(m_dataStart, n); }
    // How many replies are held: never more than there are SET commands.
    int heldReplies() const { return int(m_replies.size()); }
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
    // Where the next line end waits in m_data, or -1; each byte is looked
    // at once, so a babbling server costs time in step with its bytes.
    int lineEnd() const;
    void answer(const telnetReader::Request &request);
    void tell(unsigned char verb, unsigned char option);

    QTcpSocket *m_socket;
    telnetReader m_reader;
    QByteArray m_data;           // the box's bytes not yet read
    int m_dataStart = 0;         // read up to here; compacted now and then
    mutable int m_scanned = 0;   // m_data before here holds no line end past m_dataStart
    Answer m_comPort = Unanswered;
    QMap<unsigned char, QByteArray> m_replies;   // by code, so a flood of them cannot grow memory
    std::bitset<256 * 4> m_told;   // (verb, option) already sent, so no request loops
};
