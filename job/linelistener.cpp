#include "linelistener.h"

#include "linkclock.h"
#include "linetransport.h"

#include <QIODevice>
#include <QRegularExpression>

namespace {

// Between two looks at a line that brings nothing: whether it still stands
// (an adapter pulled out). A box's words wake the listener at once.
constexpr qint64 lookEveryMs = 1000;
// Quiet this long before text counts as a box that starts; the watch's own
// start counts as the last word, so the last job's box is not taken for a
// new one while it still talks.
constexpr qint64 quietMs = 1000;
// Between two MAC questions, and how long one waits for its answer (the
// link's own answer window).
constexpr qint64 askEveryMs = 1500;
constexpr qint64 answerMs = 1000;
// A port that cannot be opened (an adapter pulled out) is tried again this often.
constexpr qint64 reopenMs = 1000;

// The SD box's start-up control names itself first when the box powers up.
const char *const sdStartMarkers[] = {"SUC", "StartUpControl"};

} // namespace

const QByteArray lineListener::macQuestion = QByteArrayLiteral("get_mac\r\n");

QString lineListener::macKey(const QString &text)
{
    QString hex = text.toUpper();
    hex.remove(QRegularExpression(QStringLiteral("[^0-9A-F]")));
    return hex.size() == 12 ? hex : QString();
}

lineListener::lineListener(QObject *parent) : QObject(parent), m_tick(this)
{
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &lineListener::tick);
}

lineListener::~lineListener()
{
    end();
}

void lineListener::begin(const lineListener::Plan &plan)
{
    end();
    m_plan = plan;
    m_clock.start();
    m_lastByte = 0;
    m_burstQuiet = 0;
    m_askedAt = -1;
    m_lastAsk = -1;
    m_lastOpen = -1;
    m_silenceSeen = false;
    m_told = Nothing;
    m_pending.clear();
    m_running = true;
    m_line = lineTransport::forPort(plan.port);
    tick();
}

void lineListener::end()
{
    m_running = false;
    m_tick.stop();
    if (m_line)
        m_line->close();
    m_line.reset();
}

bool lineListener::openPort()
{
    if (m_line->device())
        return true;
    if (!m_line->open(m_plan.port, [](const QString &) {})) {
        m_silenceSeen = true;
        tell(Silent);
        return false;
    }
    m_lastByte = m_clock.elapsed();
    // Queued: a look may close the port, which must not happen inside the
    // port's own signal.
    connect(m_line->device(), &QIODevice::readyRead, this, &lineListener::tick, Qt::QueuedConnection);
    return true;
}

// Looks at the line when it brings bytes and when something falls due.
void lineListener::tick()
{
    // A read may bring bytes that wake this again, and a look may end the
    // watch: one look at a time.
    if (!m_running || !m_line || m_looking)
        return;
    m_looking = true;
    look();
    m_looking = false;
    if (m_running && m_line)
        m_tick.start(int(qBound<qint64>(1, nextLookMs(), linkClock::window(lookEveryMs))));
}

// How long until the next decision falls due: a reopen, the end of the
// answer window, the quiet that makes text count, the next question.
qint64 lineListener::nextLookMs() const
{
    const qint64 now = m_clock.elapsed();
    const qint64 quietLeft = linkClock::window(quietMs) - (now - m_lastByte) + 1;
    if (!m_line->device())
        return linkClock::window(reopenMs) - (now - m_lastOpen);
    if (m_askedAt >= 0)
        return linkClock::window(answerMs) - (now - m_askedAt) + 1;
    if (!m_plan.askHd)
        return m_told == SdStarting || quietLeft <= 0 ? linkClock::window(lookEveryMs) : quietLeft;
    const qint64 askLeft = m_lastAsk < 0 ? 0 : linkClock::window(askEveryMs) - (now - m_lastAsk);
    return qMax(quietLeft, askLeft);
}

void lineListener::look()
{
    const qint64 now = m_clock.elapsed();
    if (!m_line->device()) {
        if (m_lastOpen >= 0 && now - m_lastOpen < linkClock::window(reopenMs))
            return;
        m_lastOpen = now;
        if (!openPort())
            return;
    }
    QIODevice *device = m_line->device();
    // A transport that reads only when asked is asked here.
    if (device->bytesAvailable() == 0)
        device->waitForReadyRead(0);
    const QByteArray bytes = device->readAll();
    if (!bytes.isEmpty())
        take(bytes);
    if (!m_running)
        return;
    if (m_line->failed() || !m_line->hungUp().isEmpty()) {
        // The line went (an adapter pulled out): open it again later.
        m_line->close();
        m_silenceSeen = true;
        tell(Silent);
        return;
    }
    const qint64 quiet = now - m_lastByte;
    if (m_askedAt >= 0 && now - m_askedAt > linkClock::window(answerMs)) {
        m_askedAt = -1;
        m_silenceSeen = true;
        tell(Silent);
    }
    if (!m_plan.askHd) {
        if (quiet > linkClock::window(quietMs) && m_told != SdStarting)
            tell(Silent);
        return;
    }
    if (m_askedAt < 0 && quiet >= linkClock::window(quietMs)
        && (m_lastAsk < 0 || now - m_lastAsk >= linkClock::window(askEveryMs))) {
        m_pending.clear();
        device->write(macQuestion);
        m_askedAt = m_lastAsk = now;
    }
}

void lineListener::take(const QByteArray &bytes)
{
    const qint64 now = m_clock.elapsed();
    if (m_pending.isEmpty())
        m_burstQuiet = now - m_lastByte;
    m_lastByte = now;
    m_pending += bytes;
    for (;;) {
        const int end = m_pending.indexOf('\n');
        if (end < 0)
            break;
        QString text = QString::fromLatin1(m_pending.left(end));
        m_pending.remove(0, end + 1);
        text.remove(QLatin1Char('\r'));
        if (!text.trimmed().isEmpty())
            line(text.trimmed());
        if (!m_running)
            return;
        if (m_pending.isEmpty())
            m_burstQuiet = 0;
    }
    // A line without end is looked at too: a console's prompt has none.
    if (m_pending.size() > 256)
        m_pending.clear();
}

void lineListener::line(const QString &text)
{
    for (const char *marker : sdStartMarkers) {
        if (!text.contains(QLatin1String(marker)))
            continue;
        tell(SdStarting);
        // Only a start after quiet is a box plugged in or switched on.
        if (!m_plan.askHd && m_burstQuiet >= linkClock::window(quietMs))
            finish(SdStarting, QString());
        return;
    }
    if (m_askedAt >= 0 && !macQuestion.startsWith(text.toLatin1()))
        answered(text);
}

void lineListener::answered(const QString &text)
{
    m_askedAt = -1;
    tell(HdConsole);
    const QString mac = macKey(text);
    const QString last = macKey(m_plan.lastMac);
    const bool fresh = !mac.isEmpty() && !last.isEmpty() ? mac != last : m_silenceSeen;
    if (fresh)
        finish(HdConsole, text.toUpper());
}

void lineListener::tell(Heard family)
{
    if (family == m_told)
        return;
    m_told = family;
    emit heard(family);
}

void lineListener::finish(Heard family, const QString &mac)
{
    end();
    emit found(family, mac);
}
