#pragma once

#include <QByteArray>
#include <QString>

// A box's reply line as the line hands it over: a USB adapter or a relay
// passes a line on in pieces, so a marker may begin in one read and end in
// the next. Each piece is examined as it comes, together with the pieces of
// its line before it, up to the line end: a marker split between two reads
// is found, and a text without line end (a prompt) is found at once. NUL
// bytes, which boxes print at power-up, are dropped first.
class replyJoin
{
public:
    // Of a box's line that never ends, this many characters are kept: more
    // than any marker needs or a log line can show.
    static constexpr int openLineKept = 128;

    // The text to examine for one read: the line so far with this piece, CR
    // and LF removed; empty when the piece brought nothing but line ends or
    // NUL bytes to a line not begun.
    QString take(const QByteArray &piece);
    // Whether the last piece ended its line.
    bool lineEnded() const { return m_ended; }
    // Forgets the line so far: once its text has been acted on, what
    // follows it is examined on its own.
    void restart() { m_open.clear(); }

    static QByteArray withoutNul(const QByteArray &bytes);
    // Whether `text` ends in the beginning of `marker` (not in all of it): the
    // rest of the marker may still come.
    static bool endsInPartOf(const QString &text, const char *marker, Qt::CaseSensitivity cs = Qt::CaseSensitive);

private:
    QString m_open;      // what has come of the line not yet ended
    bool m_ended = true;
};
