#pragma once

// What the tests share: a simulated box on a pseudo-terminal, what a link or the
// program reported, sample files, the window with scripted dialogs and boxes.

#include "hdbox.h"
#include "sdbox.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class MainWindow;
class QSignalSpy;
class serialComKarn;
class serialComVesk;

class testRig : public QObject
{
    Q_OBJECT
public:
    testRig();
    explicit testRig(const hdBox::Behaviour &behaviour);
    explicit testRig(const sdBox::Config &config);
    ~testRig() override;

    // ---- the box
    std::unique_ptr<hdBox> hd;
    std::unique_ptr<sdBox> sd;
    bool boxStarted = false;
    QString device() const { return hd ? hd->devicePath() : sd ? sd->devicePath() : QString(); }
    QByteArray received() const { return hd ? hd->received() : sd ? sd->received() : QByteArray(); }
    QList<QByteArray> commands() const { return hd ? hd->commands() : sd ? sd->commands() : QList<QByteArray>(); }
    // The boxes' line settings: checked wherever a box heard the program.
    static QString lineSettings() { return QStringLiteral("115200 8N1 none"); }
    QString seenSettings() const { return hd ? hd->lineSettings() : sd ? sd->lineSettings() : QString(); }

    // A real relay between the program and the box, as a serial server or a
    // virtual machine's port would be: socat joins a new pseudo-terminal
    // (its path returned) to the box's line. Empty when it cannot start.
    QString relay();
    QProcess relayProcess;
    // How a link reaches the box: its pseudo-terminal; socat's; ser2net's
    // port as rfc2217:// (its serial side set to 9600 baud, so that only the
    // link's own settings give the box its line) or as a raw socket://; a
    // network port where nothing listens; an RFC 2217 server that refuses
    // port control, nothing behind it; a server that never completes a
    // connect (a listener whose queue the rig holds full); a server's host
    // name that only a silent name server knows of (the program then runs in
    // a network and mount namespace of its own, with that name server); a
    // socket:// server that closes the connection at once, or once it has
    // taken two bytes; one that resets it (RST) at once.
    enum class Line { Pty, Relay, Rfc2217, Socket, Nobody, Uncontrolled, Pending, SilentNames, Closing, CutAfterTwo,
                      Resetting };
    // The port's name for `line`; empty when its relay or server did not
    // start, or cannot be had here (then `missing` says why).
    QString port(Line line);
    QString missing;
    // How many connects to 127.0.0.1:`port` wait for the server's answer
    // (a pending server's own filler is one).
    static int connectsPending(quint16 port);
    // The silent name server was asked.
    bool nameAsked() const { return !read(path(QStringLiteral("asked.dns"))).isEmpty(); }
    // A real serial server, ser2net, serving the box's device (or `device`) on a free local port.
    QString serve(bool rfc2217, const QString &device = QString());
    // An RFC 2217 server's start: it takes COM-PORT-OPTION and binary mode and
    // confirms the line settings with these values (SET-PARITY 1 is none).
    static QByteArray comPortServer(quint32 baud = 115200, char dataBits = 8, char parity = 1, char stopSize = 1);
    // A serial server of the test's own script, behind socat on a free local
    // port (its rfc2217:// name returned): it sends `first`, then, once it
    // has taken `waitBytes` from the program, `then`, and holds the connection.
    // On IPv6's loopback [::1] where `ipv6`.
    QString scriptedServer(const QByteArray &first, int waitBytes = 0, const QByteArray &then = QByteArray(),
                           bool ipv6 = false);
    QProcess serverProcess;
    // A socket:// server that closes the connection once it has taken
    // `bytes`; with `reset`, by RST, as a server that drops it does.
    QString closingServer(int bytes, bool reset = false);
    // Kills the server (SIGKILL) `delayMs` after the box has received
    // `bytes`. Watched from a thread of its own, since a link's job blocks
    // the test's thread.
    void killServerAfter(qint64 bytes, int delayMs = 0);
    // `size` bytes of what a telnet layer must pass untouched: 0xFF alone
    // and doubled, CR NUL, CR LF and look-alikes of telnet commands; the
    // signature (hex) at offsets 16..19.
    static QByteArray telnetBait(const char *signatureHex, qint64 size);
    // Runs `job` with files limited to `bytes` (a full disk, deterministic),
    // also for a program started meanwhile; -1: no limit.
    static void withFileLimit(qint64 bytes, const std::function<void()> &job);

    // ---- what a link reported, in order
    void watch(serialComVesk &link);
    void watch(serialComKarn &link);
    QList<int> codes;
    QList<qint64> codeMs;      // when each code came, since the rig was made
    QStringList logs;
    QList<int> progress;
    QStringList results;       // the HD service queries' answers
    QStringList trail;         // "c<code>", "p<percent>", "l<log line>"
    // A waiting window: from one status code to another, its length at full scale.
    // `times` windows of `ms` each; ms < 0: none measured.
    struct Window { int from = 0, to = 0, ms = -1, times = 1; };
    // Empty when the last code `from` before the last `to` came the windows'
    // scaled length earlier, or not far later; else what it was.
    QString windowMiss(const Window &window, double scale) const;
    // The codes up to and including the first `last`.
    static QList<int> upTo(const QList<int> &codes, int last) { return codes.mid(0, codes.indexOf(last) + 1); }
    // Never falls, but for the fresh start of a verifying read-back.
    bool progressRises() const;
    // Each pattern matches a later line than the one before (see matches()).
    bool logged(const QStringList &patterns, const QStringList &lines) const;
    bool logged(const QStringList &patterns) const { return logged(patterns, logs); }
    // Literal text, where "#" stands for a number and "*" for anything.
    static bool matches(const QString &line, const QString &pattern);

    // ---- files in a directory of the rig's own
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    // `size` bytes, the signature (hex) at offsets 16..19, every position told apart.
    static QByteArray image(const char *signatureHex, qint64 size);
    static bool write(const QString &path, const QByteArray &bytes);
    static QByteArray read(const QString &path);
    // "@hd", "@hdList", "@sdList", "@sd2", "@sd3", "@sd4", "@bigList" (409601 bytes),
    // "@text", optionally "=path": such a file made in the rig's directory, its
    // path returned; another "@path": a path there, not made; else as is.
    QString sample(const QString &name);
    QStringList samples(const QStringList &names);
    // A folder where no file can be made while those there stay writable;
    // false where that cannot be had. Unlocked by unlock() or the rig's end.
    bool lock(const QString &folder);
    void unlock();

    // ---- the real program, run in the rig's directory: offscreen, its
    // standard error passed on, unless an environment of its own is given
    QProcess program;
    bool run(const QStringList &args, QProcessEnvironment env = QProcessEnvironment());
    // Where it keeps its own files, in the rig's directory.
    QString logName = QStringLiteral("velmora.log");
    QString settingsName = QStringLiteral("settings.ini");
    // Another run of it beside `program`, in the same directory.
    bool run(QProcess &process, const QStringList &args, QProcessEnvironment env = QProcessEnvironment());
    // Its log (or another file of the directory) without stamps.
    QStringList programLog(const QString &file = QString()) const;
    bool waitForLog(const QString &pattern, int ms, const QString &file = QString());
    // What it has printed on standard error so far holds `text` (nothing is
    // taken from the channel).
    bool saidOnStderr(const QByteArray &text);
    // Sends the signal; the exit code, or -1 when it did not end normally.
    int signal(int number, int ms = 10000);
    QVariant setting(const QString &key) const;

    // ---- the window
    // The window reads QCoreApplication::arguments(); the application keeps
    // a reference to this vector, so each case can give its own line.
    static void setArguments(const QStringList &args);
    static int argc;
    static char *argv[512];
    // The rig's directory is the working directory until the rig ends.
    void enter();
    // Made with this command line, its boxes closed, its requests recorded;
    // deleted with the rig.
    MainWindow *window = nullptr;
    MainWindow *makeWindow(const QStringList &args = {});
    QString label() const;
    // A job started on a port that is no serial line: the port's error box
    // came and the window is idle again.
    bool portErrorShown();
    struct Box { QString title, text; int icon, buttons; };
    QList<Box> boxes;
    // Closes each message box with `answer` where offered, else Ok.
    void closeBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok);
    // Leaves every box to the test (still recorded in `boxes`).
    void leaveBoxes() { m_boxTimer.stop(); }
    struct Dialog { QString kind, title, dir, filter; };
    QList<Dialog> dialogs;
    QList<QPair<QStringList, QString>> answers;   // files and chosen filter
    void answerDialogs();
    // The job requests of the window: 0 none, else the kind (1..6) whose
    // signal fired once; -1 for more than one request.
    void watch(MainWindow *window);
    int sent() const;

private:
    template <class Link>
    void watchLink(Link &link);
    void pollBoxes();
    void record(QMessageBox *box);
    bool eventFilter(QObject *watched, QEvent *event) override;

    std::thread m_killer;
    std::atomic<bool> m_killerRun{false};
    QElapsedTimer m_clock;
    QTimer m_boxTimer;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    MainWindow *m_watched = nullptr;
    int m_startedBefore = 0;
    bool m_dialogs = false;
    QString m_locked;
    QString m_home;
    std::vector<int> m_pending;   // the never-answering listener and what fills its queue
    bool m_ownNetwork = false;    // the program runs with the silent name server
    bool m_immutable = false;
};
