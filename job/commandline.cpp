#include "commandline.h"

#include "filekind.h"
#include "jobkind.h"

#include <QFile>

namespace {

// The bytes as a shell's $'...' shows them: what is not printable ASCII as \xHH.
QString shownBytes(const QByteArray &bytes)
{
    constexpr char firstPrintable = ' ';
    constexpr char lastPrintable = '~';
    QString shown;
    for (const char c : bytes)
        shown += c >= firstPrintable && c <= lastPrintable
                     ? QString(QLatin1Char(c))
                     : QStringLiteral("\\x") + QString::number(uchar(c), 16).rightJustified(2, QLatin1Char('0')).toUpper();
    return shown;
}

} // namespace

commandLine::commandLine(const QStringList &args)
{
    // After "--" every argument is a file, also one named "-x.app".
    m_optionsEnd = int(args.indexOf(QStringLiteral("--"), 1));
    for (int i = 1; i < args.size(); ++i)
        i = i == m_optionsEnd ? i : take(args, i);
    // These count wherever they stand, even as another option's value.
    for (const QString &arg : args.mid(1, m_optionsEnd < 0 ? -1 : m_optionsEnd - 1))
        noteAnywhere(arg);
}

bool commandLine::isOption(const QString &arg, int at) const
{
    return (m_optionsEnd < 0 || at < m_optionsEnd) && arg.startsWith(QLatin1Char('-'));
}

// The index of the last argument of the run that starts at `at`: up to the
// next option.
int commandLine::runEnd(const QStringList &args, int at) const
{
    while (at + 1 < args.size() && at + 1 != m_optionsEnd && !isOption(args.at(at + 1), at + 1))
        ++at;
    return at;
}

jobRequest commandLine::request() const
{
    jobRequest request;
    request.kind = kind;
    request.ports = ports;
    request.files = files;
    request.verify = verify;
    request.identify = identify;
    return request;
}

commandLine::commandLine(int argc, char *argv[])
    : commandLine(arguments(argc, argv))
{
    // Such a name would be written, or looked for, under other bytes: a
    // download would make a file of another name, an upload miss its file.
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) != raw) {
            undecodable << shownBytes(raw);
            jobFiles::noteUndecodable(QFile::decodeName(raw), undecodable.last());
        }
    }
}

QStringList commandLine::arguments(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QFile::decodeName(QByteArray(argv[i]));
    return args;
}

int commandLine::take(const QStringList &args, int at)
{
    const QString &arg = args.at(at);
    if (!isOption(arg, at))
        return takeRun(args, at);
    if (arg == QLatin1String("-f"))
        return takeFiles(args, at);
    return takeOption(args, at);
}

int commandLine::takeOption(const QStringList &args, int at)
{
    // Options with a value; one in last place is passed over, or unknown.
    static const struct {
        const char *name;
        void (commandLine::*take)(const QString &);
        bool lastIsUnknown;
    } valued[] = {
        {.name = "-p", .take = &commandLine::takePort, .lastIsUnknown = false},
        {.name = "-t", .take = &commandLine::takeKeyword, .lastIsUnknown = false},
        {.name = "--query", .take = &commandLine::takeQuery, .lastIsUnknown = true},
        {.name = "--log", .take = &commandLine::takeLog, .lastIsUnknown = true},
        {.name = "--record", .take = &commandLine::takeRecord, .lastIsUnknown = true},
        {.name = "--retries", .take = &commandLine::takeRetries, .lastIsUnknown = true},
    };
    // A second value of these would silently win over the first.
    static const char *const once[] = {"-t", "--query", "--log", "--record", "--retries"};
    static const struct {
        const char *name;
        bool commandLine::*field;   // nullptr: noted wherever it stands
    } flags[] = {
        {.name = "--factory-reset", .field = &commandLine::factoryReset},
        {.name = "--yes", .field = &commandLine::yes},
        {.name = "--desktop", .field = &commandLine::desktop},
        {.name = "--verify", .field = &commandLine::verify},
        {.name = "--identify", .field = &commandLine::identify},
        {.name = "--loop", .field = &commandLine::loop},
        {.name = "--batch", .field = nullptr},
        {.name = "-s", .field = nullptr},
        {.name = "--help", .field = nullptr},
        {.name = "--version", .field = nullptr},
        {.name = "--list-ports", .field = nullptr},
    };
    const QString &arg = args.at(at);
    for (const auto &option : valued) {
        if (arg != QLatin1String(option.name))
            continue;
        for (const char *name : once)
            if (arg == QLatin1String(name) && args.mid(1, at - 1).contains(arg) && !repeated.contains(arg))
                repeated << arg;
        if (at + 1 < args.size())
            (this->*option.take)(args.at(++at));
        else if (option.lastIsUnknown)
            unknown << arg;
        return at;
    }
    for (const auto &flag : flags) {
        if (arg != QLatin1String(flag.name))
            continue;
        if (flag.field)
            this->*flag.field = true;
        return at;
    }
    unknown << arg;
    return at;
}

// -f: the files up to the next option, unexamined; a refused name keeps the
// label as it was.
int commandLine::takeFiles(const QStringList &args, int at)
{
    const int last = runEnd(args, at);
    const jobFiles given(args.mid(at + 1, last - at));
    refused << given.refused();
    if (given.refused().isEmpty()) {
        hasFiles = true;
        files = given;
    }
    return last;
}

// Bare files, recognised by content; the walk goes on after the last one examined.
int commandLine::takeRun(const QStringList &args, int at)
{
    const Run run = recognise(args.mid(at, runEnd(args, at) - at + 1));
    problems << run.problems;
    for (const QString &file : args.mid(at, run.examined))
        if (jobFiles::refuses(file))
            refused << file;
    if (run.kind != jobKind::None) {
        hasKind = true;
        kind = run.kind;
    }
    if (!run.files.isEmpty()) {
        hasFiles = true;
        files = run.files;
    }
    return at + run.examined - 1;
}

void commandLine::takePort(const QString &port)
{
    ports << port;
}

void commandLine::takeKeyword(const QString &keyword)
{
    hasKind = true;
    kind = jobKind::fromKeyword(keyword, Qt::CaseInsensitive);
    if (kind == jobKind::None)
        unknown << keyword;
}

void commandLine::takeQuery(const QString &what)
{
    query = what;
}

void commandLine::takeLog(const QString &file)
{
    log = file;
}

void commandLine::takeRecord(const QString &file)
{
    record = file;
}

void commandLine::takeRetries(const QString &count)
{
    bool number = false;
    retriesGiven = count;
    retries = count.toInt(&number);
    if (!number || retries < 0)
        retries = -1;
}

void commandLine::noteAnywhere(const QString &arg)
{
    // Even where it stands for a missing port name.
    if (arg == QLatin1String("-s"))
        start = true;
    for (const char *option : {"--batch", "--query", "--factory-reset"})
        if (arg == QLatin1String(option))
            batch = true;
    static const struct {
        const char *name;
        Answer answer;
    } answers[] = {
        {.name = "--help", .answer = Help},
        {.name = "--version", .answer = Version},
        {.name = "--list-ports", .answer = ListPorts},
    };
    for (const auto &row : answers)
        if (answer == NoAnswer && arg == QLatin1String(row.name))
            answer = row.answer;
}

commandLine::Run commandLine::recognise(const QStringList &files, Policy policy)
{
    Run run;
    QStringList images;
    QString list;
    for (const QString &file : files) {
        ++run.examined;
        if (jobFiles::refuses(file))
            continue;
        if (policy == FirstDecides)
            run.files = jobFiles({file});
        const fileKinds kinds = fileKinds::examine(file);
        const jobKind::Kind hdJob = policy == FirstDecides ? jobKind::forFile(kinds.hd) : jobKind::None;
        if (policy == FirstDecides && !kinds.hdProblem.isEmpty())
            run.problems << kinds.hdProblem;
        if (hdJob != jobKind::None) {
            run.kind = hdJob;
            return run;
        }
        const jobKind::Kind sdJob = jobKind::forFile(kinds.sd);
        if (!kinds.sdProblem.isEmpty())
            run.problems << kinds.sdProblem;
        if (sdJob == jobKind::UpdateSD) {
            images << file;
        } else if (sdJob == jobKind::SendListSD) {
            // Alone it decides; among images it empties their list, and
            // images after it gather anew.
            if (policy == FirstDecides) {
                run.kind = sdJob;
                return run;
            }
            images.clear();
            list = file;
        }
    }
    if (!images.isEmpty()) {
        run.kind = jobKind::UpdateSD;
        run.files = jobFiles(images);
    } else if (!list.isEmpty()) {
        run.kind = jobKind::SendListSD;
        run.files = jobFiles({list});
    }
    return run;
}
