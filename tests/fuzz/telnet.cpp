// Fuzzes the RFC 2217 client's reader of a server's bytes. Two ways:
// - raw: the input as a server's stream; read whole and again cut at every
//   byte, the data must be the same (a command split over reads is still a
//   command), never longer than the input, and no request or
//   subnegotiation may be lost between the two.
// - built: the input is cut into payload and commands (byte 0 of a piece
//   chooses), the payload escaped as a server does, the commands well
//   formed; what the reader gives as data must be the payload exactly: no
//   byte of a command taken as data, no data byte lost.
#include "telnetreader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void raw(const char *bytes, size_t size)
{
    telnetReader whole, split;
    QByteArray a, b;
    whole.feed(bytes, qint64(size), a);
    for (size_t i = 0; i < size; ++i)
        split.feed(bytes + i, 1, b);
    check(a == b, "data depends on how the stream is cut");
    check(a.size() <= int(size), "more data than bytes");
    check(whole.takeRequests().size() == split.takeRequests().size(), "requests depend on the cut");
    check(whole.takeSubnegotiations() == split.takeSubnegotiations(), "subnegotiations depend on the cut");
}

void built(const uint8_t *in, size_t size)
{
    QByteArray stream, payload;
    size_t i = 0;
    while (i < size) {
        const uint8_t choice = in[i++];
        const size_t n = qMin<size_t>(choice & 0x1f, size - i);
        const QByteArray piece(reinterpret_cast<const char *>(in + i), int(n));
        i += n;
        switch (choice >> 5) {
        case 0: // an option request
            stream += QByteArray(1, char(telnetReader::IAC)) + char(telnetReader::WILL + (n & 3)) + char(n);
            break;
        case 1: // a subnegotiation with escaped parameters
            stream += telnetReader::subnegotiation(telnetReader::ComPort, piece);
            break;
        case 2: // NOP
            stream += QByteArray(1, char(telnetReader::IAC)) + char(241);
            break;
        default: // data
            payload += piece;
            stream += telnetReader::escape(piece.constData(), piece.size());
            break;
        }
    }
    telnetReader reader;
    QByteArray data;
    // Cut at a place the input chooses, so that commands straddle reads.
    const int cut = size ? int(in[0]) % (stream.size() + 1) : 0;
    reader.feed(stream.constData(), cut, data);
    reader.feed(stream.constData() + cut, stream.size() - cut, data);
    check(data == payload, "a command's byte taken as data, or data lost");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    raw(reinterpret_cast<const char *>(data), size);
    built(data, size);
    return 0;
}
