#pragma once

// What the window shows for each status code a link object sends. The SD
// and HD families mirror each other, so one row serves both codes of a pair.
class statusTable
{
public:
    enum Kind { JobStarted, JobEnded, Progress, Result, Error };

    // What a row holds where one family has no such step.
    static constexpr int noCode = -1;

    struct Entry {
        int sdCode = noCode;
        int hdCode = noCode;
        Kind kind = Progress;
        const char *status = nullptr;   // status-bar source text (context "MainWindow")
        int timeout = 0;                // status-bar time-out in ms, 0 = stays
        const char *title = nullptr;    // box title, results and errors only
        const char *text = nullptr;     // box text, results and errors only
    };

    // The row of a code, or nullptr for a code that no link sends.
    static const Entry *find(int code);
    // The code with which a family says that its job's file failed.
    static int fileFailed(bool hd);
};
