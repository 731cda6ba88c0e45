#include "answershape.h"

#include <cctype>

namespace {

// The MAC address of the box's network device, without separators.
constexpr int macDigits = 12;

// Printable ASCII and the printable half of Latin-1, which the box speaks
// (its versions may hold letters such as "é"); control bytes are noise.
constexpr uchar latin1Printable = 0xa0;

bool printableByte(char c)
{
    return (uchar(c) >= 0x20 && uchar(c) < 0x7f) || uchar(c) >= latin1Printable;
}

} // namespace

bool answerShape::printable(const QByteArray &line)
{
    for (char c : line)
        if (!printableByte(c))
            return false;
    return true;
}

bool answerShape::fits(Kind kind, const QByteArray &line)
{
    if (!printable(line))
        return false;
    if (kind == Text)
        return true;
    // The placeholders' words are looked for in any letter case, as the
    // answer is upper-cased before its result is made.
    const QByteArray upper = line.toUpper();
    if (upper.contains("UNKNOWN") || upper.contains("!LANDEVICE"))
        return true;
    if (line.size() != macDigits)
        return false;
    for (char c : line)
        if (!std::isxdigit(uchar(c)))
            return false;
    return true;
}

QString answerShape::shown(const QByteArray &line)
{
    QString text = QStringLiteral("\"");
    for (char c : line.left(shownBytes)) {
        if (c == '"' || c == '\\')
            text += QLatin1String(c == '"' ? "\\\"" : "\\\\");
        else if (printableByte(c))
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    text += QLatin1Char('"');
    if (line.size() > shownBytes)
        text += QStringLiteral("... (%1 bytes)").arg(line.size());
    return text;
}
