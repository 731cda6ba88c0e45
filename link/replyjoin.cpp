#include "replyjoin.h"

QByteArray replyJoin::withoutNul(const QByteArray &bytes)
{
    if (!bytes.contains('\0'))
        return bytes;
    QByteArray kept;
    kept.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\0')
            kept += c;
    return kept;
}

QString replyJoin::take(const QByteArray &piece)
{
    const QByteArray bytes = withoutNul(piece);
    if (bytes.isEmpty())
        return QString();
    m_ended = bytes.endsWith('\n') || bytes.endsWith('\r');
    QString text = m_open + QString::fromLatin1(bytes);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    if (m_ended) {
        m_open.clear();
        return text;
    }
    // A raw read may end one line and begin the next: only the new one is open.
    const int lineEnd = bytes.lastIndexOf('\n');
    QString open = lineEnd < 0 ? text : QString::fromLatin1(bytes.mid(lineEnd + 1)).remove(QLatin1Char('\r'));
    m_open = open.right(openLineKept);
    return text;
}

bool replyJoin::endsInPartOf(const QString &text, const char *marker, Qt::CaseSensitivity cs)
{
    const QLatin1String m(marker);
    for (int n = qMin(m.size() - 1, text.size()); n > 0; --n)
        if (text.endsWith(m.left(n), cs))
            return true;
    return false;
}
