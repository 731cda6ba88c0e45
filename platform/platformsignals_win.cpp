#include "platformsignals.h"

#include <windows.h>

#include <atomic>

namespace {

// The console runs its handler in a thread of its own, so an atomic is the
// channel; there is no descriptor to watch, the event loop polls take().
std::atomic<bool> channelOpen{false};
std::atomic<int> pending{0};
// Set by release(), once the program has acted on a request. Made once and
// never closed: a handler that comes late may still wait on it.
HANDLE stopped = nullptr;

// Ctrl-C is the interrupt; Ctrl-Break is how scripts and service managers
// ask a console program to end; a closed console window is the hang-up.
const struct {
    DWORD event;
    int number;
} consoleEvents[] = {
    {CTRL_C_EVENT, platformSignals::Interrupt},
    {CTRL_BREAK_EVENT, platformSignals::Terminate},
    {CTRL_CLOSE_EVENT, platformSignals::HangUp},
    {CTRL_LOGOFF_EVENT, platformSignals::Terminate},
    {CTRL_SHUTDOWN_EVENT, platformSignals::Terminate},
};

BOOL WINAPI onConsoleEvent(DWORD event)
{
    for (const auto &e : consoleEvents) {
        if (e.event != event)
            continue;
        pending.store(e.number);
        // Windows ends the process as soon as this returns from a close,
        // log-off or shut-down event, so it returns only once the program
        // has stopped its job and said in what state it left the box, as a
        // POSIX program does after SIGTERM. A program that does not stop in
        // time is left to the system's own handling, which ends it.
        return WaitForSingleObject(stopped, platformSignals::stopWaitMs) == WAIT_OBJECT_0;
    }
    return FALSE;
}

} // namespace

bool platformSignals::openChannel()
{
    bool wasOpen = false;
    if (!channelOpen.compare_exchange_strong(wasOpen, true))
        return false;
    if (!stopped)
        stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stopped || !ResetEvent(stopped)) {
        channelOpen.store(false);
        return false;
    }
    return true;
}

bool platformSignals::catchClose()
{
    return SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
}

void platformSignals::release()
{
    // The waiting handler first: the system may hold its handlers' list
    // while one runs, and taking ours off waits for that.
    SetEvent(stopped);
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    pending.store(0);
    channelOpen.store(false);
}

int platformSignals::wakeDescriptor()
{
    return -1;
}

int platformSignals::take()
{
    return pending.exchange(0);
}

void platformSignals::ignoreBrokenPipe()
{
    // Windows has no SIGPIPE: a write to a closed pipe already fails with an error.
}
