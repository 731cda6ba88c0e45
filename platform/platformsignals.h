#pragma once

// The requests to close the program from outside (SIGTERM, SIGINT, SIGHUP;
// on Windows the console's Ctrl-C, Ctrl-Break, close, log-off and shut-down
// events) turned into numbers that ordinary code reads outside the handler.
// One channel per process: a handler cannot find an object.
class platformSignals
{
public:
    // The numbers reported, the same on every system.
    enum Close : int {
        HangUp = 1,
        Interrupt = 2,
        Terminate = 15
    };

    // How long a request's handler waits for the program to stop where the
    // system ends the program as soon as the handler returns (Windows, after
    // a closed console, a log-off or a shut-down): Windows gives a closed
    // console 5 s whatever the handler does, so waiting longer gains nothing.
    static constexpr int stopWaitMs = 5000;

    // Makes the channel; false when it is already open or cannot be made.
    static bool openChannel();
    // Routes the close requests into the open channel; false when one of
    // the handlers could not be set.
    static bool catchClose();
    // Gives the close requests back to the system and closes the channel:
    // called once the program has acted on a request (its job stopped, its
    // state said). A handler waiting for that (Windows) then returns.
    static void release();
    // A descriptor that turns readable when a request waits, for an event
    // loop to watch; -1 where there is none to watch (Windows: poll take()).
    static int wakeDescriptor();
    // The last request waiting, 0 when none; empties the channel, never blocks.
    static int take();
    // A terminal or pipe that goes away must not end the program: writes to
    // it fail instead.
    static void ignoreBrokenPipe();
};
