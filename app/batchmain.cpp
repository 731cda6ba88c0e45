#include "commandline.h"
#include "jobresult.h"
#include "programstart.h"

#include <clocale>
#include <cstdio>

// The program without a window (the build for Windows): batch mode, the
// queries and the answers that need no job.
int main(int argc, char *argv[])
{
    std::setlocale(LC_ALL, "");
    const commandLine line(argc, argv);
    if (line.answer != commandLine::NoAnswer)
        return programStart::answer(line.answer);
    if (!line.batch) {
        std::fputs("velmora: this build runs batch mode only (--batch, --query, --factory-reset); see --help\n",
                   stderr);
        return jobResult::ExitUsage;
    }
    return programStart::runBatch(argc, argv, line);
}
