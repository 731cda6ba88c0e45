#pragma once

#include "jobfiles.h"
#include "jobkind.h"
#include "jobrequest.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// One walk over the program's arguments, for main, the window and batch mode
// alike: what main answers at once, whether it runs without a window, and
// port, job kind, job files and start flag as the arguments leave them,
// plus what batch mode asks for and what was refused. Bare files are
// recognised by their content. Needs no application object.
class commandLine
{
public:
    // `args` as QCoreApplication::arguments(): the program first.
    explicit commandLine(const QStringList &args);
    // The arguments of main, decoded as file names are (the locale must
    // already be set from the environment); an argument whose bytes do not
    // come back from its text is noted in `undecodable`.
    commandLine(int argc, char *argv[]);
    static QStringList arguments(int argc, char *argv[]);

    // A run of files recognised by content, each file read once. As bare
    // arguments and dropped files are (FirstDecides): an HD file or an SD
    // list ends the run and is the job's file, SD images gather; the last
    // file examined stands when none was recognised. As the window's update
    // button takes several files (SdOnly): only the SD kinds count, a list
    // empties the images gathered so far and the walk goes on; without a
    // known kind no file stands. Names holding a line feed are passed over.
    struct Run {
        int examined = 0;
        jobKind::Kind kind = jobKind::None;   // nothing recognised
        jobFiles files;
        QStringList problems;   // log lines of files that could not be read or are of no known kind
    };
    enum Policy { FirstDecides, SdOnly };
    static Run recognise(const QStringList &files, Policy policy = FirstDecides);

    // What main prints instead of running anything.
    enum Answer { NoAnswer, Help, Version, ListPorts };

    Answer answer = NoAnswer;   // the first of --help, --version, --list-ports
    bool batch = false;         // --batch, --query or --factory-reset: no window

    QStringList ports;          // every -p, in order; the window takes the last one
    bool hasKind = false;
    jobKind::Kind kind = jobKind::None;   // None with hasKind: a keyword that names no job
    bool hasFiles = false;
    jobFiles files;             // the file label as the arguments leave it
    bool start = false;         // -s
    QStringList refused;        // file names with a line feed
    QStringList undecodable;    // arguments not in the system's encoding, their odd bytes as \xHH
    QStringList unknown;        // unknown options and job keywords
    QStringList problems;       // log lines of the files examined, in order

    QString query;              // --query WHAT
    bool factoryReset = false;  // --factory-reset
    bool yes = false;           // --yes
    bool desktop = false;       // --desktop: own files in the XDG folders
    bool verify = false;        // --verify: a list upload is read back
    bool identify = false;      // --identify: the HD box's version and MAC are recorded
    bool loop = false;          // --loop: each port runs the job again on its next box
    QString log;                // --log FILE
    QString record;             // --record FILE: a record of every job is appended
    int retries = 0;            // --retries N; -1: not a whole number of 0 or more
    QString retriesGiven;       // as given
    QStringList repeated;       // options that take one value, given again

    // The job request the arguments make.
    jobRequest request() const;

private:
    // Each takes the argument at `at` and what belongs to it; the index of
    // the last argument used.
    int take(const QStringList &args, int at);
    int takeOption(const QStringList &args, int at);
    int takeFiles(const QStringList &args, int at);
    int takeRun(const QStringList &args, int at);
    void takePort(const QString &port);
    void takeKeyword(const QString &keyword);
    void takeQuery(const QString &what);
    void takeLog(const QString &file);
    void takeRecord(const QString &file);
    void takeRetries(const QString &count);
    void noteAnywhere(const QString &arg);
    bool isOption(const QString &arg, int at) const;
    int runEnd(const QStringList &args, int at) const;

    int m_optionsEnd = -1;   // the index of "--": what follows is a file
};
