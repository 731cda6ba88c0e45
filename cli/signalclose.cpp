#include "signalclose.h"

#include "platformsignals.h"

#include <QSocketNotifier>
#include <QTimer>

namespace {

// Where the system gives no descriptor to watch (Windows), the close request
// is looked for this often: sooner than a person expects a reaction.
constexpr int pollMs = 100;

} // namespace

signalClose::signalClose(QObject *parent)
    : QObject(parent)
{
    // A terminal or pipe that goes away must never end a job half done:
    // writes to it fail instead, and the job runs on to its real end.
    platformSignals::ignoreBrokenPipe();
    if (!platformSignals::openChannel())
        return;   // another instance owns the handlers, or there is no channel
    m_owner = true;
    const int wake = platformSignals::wakeDescriptor();
    if (wake >= 0) {
        auto *notifier = new QSocketNotifier(wake, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &signalClose::readSignal);
        m_watcher = notifier;
    } else {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &signalClose::readSignal);
        poll->start(pollMs);
        m_watcher = poll;
    }
    m_installed = platformSignals::catchClose();
}

signalClose::~signalClose()
{
    if (!m_owner)
        return;
    // The watchers go before the channel they watch.
    delete m_watcher;
    platformSignals::release();
}

void signalClose::readSignal()
{
    const int last = platformSignals::take();
    if (last != 0)
        emit closeRequested(last);
}
