#include "waitcountdown.h"

#include <QCoreApplication>
#include <QStatusBar>

namespace {

const qint64 secondMs = 1000;

} // namespace

waitCountdown::waitCountdown(QStatusBar *bar, QObject *parent)
    : QObject(parent), m_bar(bar)
{
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &waitCountdown::tick);
}

QString waitCountdown::text(const QString &status, qint64 seconds)
{
    return QCoreApplication::translate("MainWindow", "%1 (%2 s)").arg(status).arg(seconds);
}

void waitCountdown::showStatus(const QString &text, int timeout)
{
    m_tick.stop();
    m_shown.clear();
    // A text with a time-out is an error's: it is not what a wait belongs to.
    m_standing = timeout == 0 ? text : QString();
    m_bar->showMessage(text, timeout);
}

void waitCountdown::waitBegan(qint64 ms)
{
    // Another wait begins: the one counted before is over.
    stop();
    const QString now = m_bar->currentMessage();
    if (ms <= shortestMs || m_standing.isEmpty() || now != m_standing)
        return;
    m_deadline = QDeadlineTimer(ms, Qt::PreciseTimer);
    tick();
}

void waitCountdown::stop()
{
    m_tick.stop();
    if (!m_shown.isEmpty() && m_bar->currentMessage() == m_shown)
        m_bar->showMessage(m_standing);
    m_shown.clear();
}

void waitCountdown::tick()
{
    // Another text took the bar (a language change, say): the count is not
    // to overwrite it.
    if (!m_shown.isEmpty() && m_bar->currentMessage() != m_shown) {
        m_shown.clear();
        return;
    }
    // At the wait's end the verdict may still be on its way: "(0 s)" stands
    // until the next text takes the bar.
    const qint64 left = qMax<qint64>(0, m_deadline.remainingTime());
    const qint64 seconds = (left + secondMs - 1) / secondMs;
    m_shown = text(m_standing, seconds);
    m_bar->showMessage(m_shown);
    // Next when the whole seconds left drop by one, on the monotonic clock.
    if (left > 0)
        m_tick.start(int(left - (seconds - 1) * secondMs));
}
