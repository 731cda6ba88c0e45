#include "markersearch.h"

markerSearch::markerSearch(const QByteArray &marker)
    : m_marker(marker)
{
}

bool markerSearch::feed(const QByteArray &bytes)
{
    if (found())
        return true;
    const QByteArray seen = m_tail + bytes;
    const qint64 seenFrom = m_fed - m_tail.size();
    m_fed += bytes.size();
    const int at = seen.indexOf(m_marker);
    if (at < 0) {
        m_tail = seen.right(m_marker.size() - 1);
        return false;
    }
    m_at = seenFrom + at;
    m_rest = seen.mid(at + m_marker.size());
    m_tail.clear();
    return true;
}
