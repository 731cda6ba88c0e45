#pragma once
// Shared pieces of the command, settings and language tests: a command line
// of the test's own, sample files of every kind, scripted file dialogs and a
// record of the request signals.
#include "filedialogs.h"
#include "mainwindow.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSignalSpy>
#include <QStringList>

namespace cmdkit {

// The window reads QCoreApplication::arguments(); the application keeps a
// reference to this argument vector, so each case can give its own line.
inline int g_argc = 1;
inline char *g_argv[512];
inline QList<QByteArray> g_store;

inline void setArguments(const QStringList &args)
{
    g_store = {QByteArrayLiteral("velmora")};
    for (const QString &a : args)
        g_store << a.toLocal8Bit();
    g_argc = g_store.size();
    for (int i = 0; i < g_argc; ++i)
        g_argv[i] = g_store[i].data();
    g_argv[g_argc] = nullptr;
}

// A file whose bytes 16..19 are `mark` (hex) and whose size is `size`.
inline QString writeFile(const QString &name, const char *mark, int size = 4096)
{
    QByteArray data(size, '\x55');
    if (mark && size >= 20)
        data.replace(16, 4, QByteArray::fromHex(mark));
    QFile f(name);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return QFileInfo(name).absoluteFilePath();
}

// The sample files, by what the two links make of them.
inline QString hdUpdate(const QString &n = "hd.app") { return writeFile(n, "00004023"); }
inline QString hdList(const QString &n = "list.lis") { return writeFile(n, "00003040"); }
inline QString sdList(const QString &n = "list.lst") { return writeFile(n, "00000a07"); }
inline QString sdFw2(const QString &n = "sd2.app") { return writeFile(n, "00000907"); }
inline QString sdFw3(const QString &n = "sd3.app") { return writeFile(n, "00000d07", 100000); }
inline QString sdFw4(const QString &n = "sd4.app") { return writeFile(n, "00200600", 400000); }
inline QString textFile(const QString &n = "notes.txt")
{
    QFile f(n);
    f.open(QIODevice::WriteOnly);
    f.write("just some text, no box would take this\n");
    return QFileInfo(n).absoluteFilePath();
}

// Answers the window's file dialogs from a queue and records each question.
struct Dialogs {
    struct Call {
        QString kind, title, dir, filter;
    };
    struct Answer {
        QStringList files;
        QString filter; // the selected filter a save dialog reports
    };
    QList<Call> calls;
    QList<Answer> answers;

    void install()
    {
        fileDialogs::setOverride([this](const QString &kind, const QString &title, const QString &dir,
                                        const QString &filter, QString *selected) {
            calls.append({kind, title, dir, filter});
            const Answer a = answers.isEmpty() ? Answer() : answers.takeFirst();
            if (selected)
                *selected = a.filter;
            return a.files;
        });
    }
    ~Dialogs() { fileDialogs::setOverride(nullptr); }
};

// Which request the window sent: 0 none, else the job kind whose signal
// fired; -1 when more than one fired.
struct Requests {
    QList<QSignalSpy *> spies;
    explicit Requests(MainWindow *w)
    {
        for (auto sig : {&jobRunner::sigUpdateFirmwareHD, &jobRunner::sigUploadCHListHD,
                         &jobRunner::sigDownloadCHListHD, &jobRunner::sigUpdateFirmwareSD,
                         &jobRunner::sigUploadCHListSD, &jobRunner::sigDownloadCHListSD})
            spies << new QSignalSpy(&w->jobs(), sig);
    }
    ~Requests() { qDeleteAll(spies); }
    int sent() const
    {
        int kind = 0;
        for (int i = 0; i < spies.size(); ++i) {
            if (spies.at(i)->count() > 1 || (spies.at(i)->count() == 1 && kind != 0))
                return -1;
            if (spies.at(i)->count() == 1)
                kind = i + 1;
        }
        return kind;
    }
};

} // namespace cmdkit
