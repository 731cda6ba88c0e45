#include "platformsignals.h"

#include <windows.h>

#include <atomic>

namespace {

// The console runs its handler in a thread of its own, so an atomic is the
// channel; there is no descriptor to watch, the event loop polls take().
std::atomic<bool> channelOpen{false};
std::atomic<int> pending{0};

BOOL WINAPI onConsoleEvent(DWORD event)
{
    // Ctrl-C is the interrupt; Ctrl-Break is how scripts and service
    // managers ask a console program to end; a closed console window is the
    // hang-up. Windows ends the process shortly after a close, log-off or
    // shut-down event whatever the handler does, so the job gets only that
    // grace time to stop cleanly.
    switch (event) {
    case CTRL_C_EVENT:
        pending.store(platformSignals::Interrupt);
        return TRUE;
    case CTRL_BREAK_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        pending.store(platformSignals::Terminate);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        pending.store(platformSignals::HangUp);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool platformSignals::openChannel()
{
    bool wasOpen = false;
    return channelOpen.compare_exchange_strong(wasOpen, true);
}

bool platformSignals::catchClose()
{
    return SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
}

void platformSignals::release()
{
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
