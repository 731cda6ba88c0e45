#include "commandline.h"

#include "filekind.h"
#include "jobkind.h"

namespace {

bool isOption(const QString &arg)
{
    return arg.startsWith(QLatin1Char('-'));
}

} // namespace

commandLine::commandLine(const QStringList &args)
{
    const int n = int(args.size());
    for (int i = 1; i < n; ++i) {
        const QString &arg = args.at(i);
        const bool valueFollows = i + 1 < n;
        if (arg == QLatin1String("-p")) {
            if (valueFollows)
                ports << args.at(++i);
        } else if (arg == QLatin1String("-t")) {
            if (valueFollows) {
                const QString &keyword = args.at(++i);
                hasKind = true;
                kind = jobKind::fromKeyword(keyword);
                if (kind == jobKind::None)
                    unknown << keyword;
            }
        } else if (arg == QLatin1String("-f")) {
            QStringList files;
            while (i + 1 < n && !isOption(args.at(i + 1)))
                files << args.at(++i);
            bool refusedHere = false;
            for (const QString &file : files)
                if (refusesName(file)) {
                    refused << file;
                    refusedHere = true;
                }
            if (!refusedHere) {
                hasLabel = true;
                label = files.join(QLatin1Char('\n'));
            }
        } else if (arg == QLatin1String("--batch")) {
            batch = true;
        } else if (arg == QLatin1String("--query")) {
            if (valueFollows)
                query = args.at(++i);
            else
                unknown << arg;
        } else if (arg == QLatin1String("--factory-reset")) {
            factoryReset = true;
        } else if (arg == QLatin1String("--yes")) {
            yes = true;
        } else if (isOption(arg)) {
            if (arg != QLatin1String("-s"))
                unknown << arg;
        } else {
            int end = i;
            while (end < n && !isOption(args.at(end)))
                ++end;
            const Run run = recognise(args.mid(i, end - i));
            problems << run.problems;
            for (const QString &file : args.mid(i, run.examined))
                if (refusesName(file))
                    refused << file;
            if (run.kind != jobKind::None) {
                hasKind = true;
                kind = run.kind;
            }
            if (!run.label.isEmpty()) {
                hasLabel = true;
                label = run.label;
            }
            i += run.examined - 1;
        }
    }
    // Anywhere, even where it stands for a missing port name.
    start = args.mid(1).contains(QStringLiteral("-s"));
}

commandLine::Run commandLine::recognise(const QStringList &files)
{
    Run run;
    QStringList images;
    QString problem;
    for (const QString &file : files) {
        ++run.examined;
        if (refusesName(file))
            continue;
        run.label = file;
        const jobKind::Kind hdJob = jobKind::forFile(hdFile::classify(file, &problem));
        if (!problem.isEmpty())
            run.problems << problem;
        if (hdJob != jobKind::None) {
            run.kind = hdJob;
            return run;
        }
        const jobKind::Kind sdJob = jobKind::forFile(sdFile::classify(file, &problem));
        if (!problem.isEmpty())
            run.problems << problem;
        if (sdJob == jobKind::UpdateSD) {
            images << file;
            run.kind = sdJob;
        } else if (sdJob == jobKind::SendListSD) {
            run.kind = sdJob;
            return run;
        }
    }
    if (!images.isEmpty())
        run.label = images.join(QLatin1Char('\n'));
    return run;
}

bool commandLine::refusesName(const QString &name)
{
    return name.contains(QLatin1Char('\n'));
}

QString commandLine::refusalLog(const QString &name)
{
    QString shown = name;
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("Error: file name with a line feed refused: ") + shown;
}
