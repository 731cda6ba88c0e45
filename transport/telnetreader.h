#pragma once

#include <QByteArray>
#include <QList>

// The telnet layer of an RFC 2217 server's byte stream, read a byte at a
// time so that a command split over two reads is still one command: data
// bytes (IAC IAC unescaped to 0xFF, everything else as it came, CR NUL and
// CR LF included) go to the box's side; option requests and
// subnegotiations are taken out and handed over separately. Nothing of a
// command ever counts as data.
class telnetReader
{
public:
    enum Byte : unsigned char {
        SE = 240,
        SB = 250,
        WILL = 251,
        WONT = 252,
        DO = 253,
        DONT = 254,
        IAC = 255,
    };
    enum Option : unsigned char {
        Binary = 0,
        ComPort = 44,   // RFC 2217's COM-PORT-OPTION
    };
    // A subnegotiation longer than this is no RFC 2217 message: the rest of
    // it is dropped, so that a broken server cannot grow memory.
    static constexpr int longestSub = 64;

    struct Request
    {
        unsigned char verb;     // WILL, WONT, DO or DONT
        unsigned char option;
    };

    // Appends the data bytes among `n` bytes of the server to `data`.
    void feed(const char *bytes, qint64 n, QByteArray &data);
    // The option requests and the subnegotiations (the option byte first,
    // escapes undone) that came since the last call.
    QList<Request> takeRequests();
    QList<QByteArray> takeSubnegotiations();

    // Data for the server: every 0xFF doubled.
    static QByteArray escape(const char *bytes, qint64 n);
    // A subnegotiation of `option` with its parameter bytes escaped.
    static QByteArray subnegotiation(unsigned char option, const QByteArray &parameters);

private:
    enum State { Data, Command, Verb, Sub, SubCommand };
    void command(unsigned char byte);

    State m_state = Data;
    unsigned char m_verb = 0;
    QByteArray m_sub;
    QList<Request> m_requests;
    QList<QByteArray> m_subs;
};
