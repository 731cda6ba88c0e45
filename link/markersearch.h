#pragma once

#include <QByteArray>

// Finds a marker in bytes that arrive in pieces. The line splits its bytes
// into reads as it pleases, so a marker may begin in one read and end in the
// next: the last bytes of the earlier reads (one fewer than the marker has)
// are searched together with each new piece.
class markerSearch
{
public:
    explicit markerSearch(const QByteArray &marker);

    // Takes the next piece; true once the marker has been found.
    bool feed(const QByteArray &bytes);
    bool found() const { return m_at >= 0; }
    // Whether any byte has come at all.
    bool fedAny() const { return m_fed > 0; }
    // Where the marker begins, counted over every byte fed; -1 before.
    qint64 at() const { return m_at; }
    // What followed the marker in the piece that completed it.
    const QByteArray &rest() const { return m_rest; }

private:
    QByteArray m_marker;
    QByteArray m_tail;
    QByteArray m_rest;
    qint64 m_fed = 0;
    qint64 m_at = -1;
};
