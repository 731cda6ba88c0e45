#pragma once

// What the window shows for each status code a link object sends. The SD
// and HD families mirror each other, so one row serves both codes of a pair.
class statusTable
{
public:
    enum Kind { JobStarted, JobEnded, Progress, Result, Error };

    struct Entry {
        int sdCode = -1;                // -1 where the SD link has no such step
        int hdCode = -1;                // -1 where the HD link has no such step
        Kind kind = Progress;
        const char *status = nullptr;   // status-bar source text (context "MainWindow")
        int timeout = 0;                // status-bar time-out in ms, 0 = stays
        const char *title = nullptr;    // box title, results and errors only
        const char *text = nullptr;     // box text, results and errors only
    };

    // The row of a code, or nullptr for a code that no link sends.
    static const Entry *find(int code);
};
