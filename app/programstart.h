#pragma once

#include "commandline.h"

// What both programs (with the window, and batch mode alone) do before and
// instead of a window: the answers that need no job, the application's
// names, and batch mode's run.
class programStart
{
public:
    // Answers --help, --version and --list-ports without opening a window.
    static int answer(commandLine::Answer what);
    static void nameApplication();
    // Runs the job, query or reset of a batch command line to its exit code.
    static int runBatch(int argc, char *argv[], const commandLine &line);
};
