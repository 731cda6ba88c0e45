#include "testrig.h"

#include <QtEndian>

#include "linkclock.h"

#include "commandline.h"

#include <sys/stat.h>

#include "filedialogs.h"
#include "jobrunner.h"
#include "mainwindow.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"
#include "statuscode.h"
#include "ui_mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

int testRig::argc = 1;
char *testRig::argv[512];

namespace {
QList<QByteArray> g_arguments;
}

testRig::testRig()
{
    m_clock.start();
    connect(&m_boxTimer, &QTimer::timeout, this, &testRig::pollBoxes);
}

testRig::testRig(const hdBox::Behaviour &behaviour) : testRig()
{
    hd.reset(new hdBox(behaviour));
    boxStarted = hd->start();
}

testRig::testRig(const sdBox::Config &config) : testRig()
{
    sd.reset(new sdBox(config));
    boxStarted = sd->start();
}

testRig::~testRig()
{
    for (int fd : m_pending)
        ::close(fd);
    // The name server outlives the program that it served.
    if (const int nameServer = read(path(QStringLiteral("nameserver.pid"))).trimmed().toInt(); nameServer > 0)
        ::kill(pid_t(nameServer), SIGTERM);
    m_killerRun = false;
    if (m_killer.joinable())
        m_killer.join();
    if (serverProcess.state() != QProcess::NotRunning) {
        serverProcess.kill();
        serverProcess.waitForFinished(5000);
    }
    delete window;
    if (relayProcess.state() != QProcess::NotRunning) {
        relayProcess.kill();
        relayProcess.waitForFinished(5000);
    }
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished(5000);
    }
    if (m_dialogs)
        fileDialogs::setOverride(nullptr);
    unlock();
    if (!m_home.isEmpty())
        QDir::setCurrent(m_home);
}

QString testRig::relay()
{
    // In a folder of its own, apart from the job's files.
    QDir().mkpath(path(QStringLiteral("line")));
    const QString link = path(QStringLiteral("line/relay"));
    relayProcess.start(QStringLiteral("socat"), {QStringLiteral("pty,raw,echo=0,link=") + link,
                                                 device() + QStringLiteral(",raw,echo=0,b115200")});
    if (!relayProcess.waitForStarted(5000)
        || !QTest::qWaitFor([&] { return QFileInfo::exists(link); }, 5000))
        return QString();
    return link;
}

namespace {

// A local TCP port that nobody holds at this moment.
quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// Whether something listens on 127.0.0.1:port, from the system's own table,
// so that the server is not disturbed by a probing connection.
bool listening(quint16 port, bool ipv6 = false)
{
    QFile table(ipv6 ? QStringLiteral("/proc/net/tcp6") : QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = QByteArray(ipv6 ? "00000000000000000000000001000000:" : "0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    constexpr char listenState[] = " 0A ";
    for (const QByteArray &row : table.readAll().split('\n'))
        if (row.contains(local + ' ') && row.contains(listenState))
            return true;
    return false;
}

// A listener on 127.0.0.1 whose queue of one is held full: the system drops
// every further connect's first packet, so the connect waits for good.
QString pendingServer(std::vector<int> &fds)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(listener, 0) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &size) != 0)
        return QString();
    fds.push_back(listener);
    for (int i = 0; i < 2; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(filler, reinterpret_cast<sockaddr *>(&a), sizeof a);
        fds.push_back(filler);
    }
    // The first filler is taken into the queue at once; the second waits.
    const quint16 port = ntohs(a.sin_port);
    if (!QTest::qWaitFor([&] { return testRig::connectsPending(port) > 0; }, 5000))
        return QString();
    return QStringLiteral("socket://127.0.0.1:%1").arg(port);
}

// The shell that runs the program in a network and mount namespace of its
// own: loopback up, a name server on 127.0.0.1 that notes each question
// (asked.dns) and never answers, in the namespace's /etc/resolv.conf.
const char ownNetworkScript[] =
    "ip link set lo up && echo 'nameserver 127.0.0.1' > resolv.conf && mount --bind resolv.conf /etc/resolv.conf"
    " || exit 97\n"
    "socat -u UDP-RECV:53,bind=127.0.0.1 OPEN:asked.dns,creat,append & echo $! > nameserver.pid\n"
    "while ! grep -q ':0035 ' /proc/net/udp; do sleep 0.05; done\n"
    "exec \"$0\" \"$@\"\n";

// Whether such a namespace can be had here (a container may forbid it).
bool ownNetwork(const QString &dir, QString *missing)
{
    QProcess probe;
    probe.setWorkingDirectory(dir);
    probe.start(QStringLiteral("unshare"), {QStringLiteral("-rmn"), QStringLiteral("sh"), QStringLiteral("-c"),
                                            QLatin1String(ownNetworkScript), QStringLiteral("true")});
    const bool ran = probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    // The probe's name server, and its question file, are not the program's.
    if (const int nameServer = testRig::read(dir + QStringLiteral("/nameserver.pid")).trimmed().toInt(); nameServer > 0)
        ::kill(pid_t(nameServer), SIGTERM);
    QFile::remove(dir + QStringLiteral("/asked.dns"));
    if (ran)
        return true;
    *missing = QStringLiteral("no network and mount namespace of the test's own here (unshare -rmn, ip, socat): ") +
               QString::fromLocal8Bit(probe.readAllStandardError()).trimmed() + probe.errorString();
    return false;
}

} // namespace

int testRig::connectsPending(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return 0;
    int pending = 0;
    const QByteArray remote = "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    const QByteArray synSent = "02";
    for (const QByteArray &row : table.readAll().split('\n')) {
        const QList<QByteArray> f = row.simplified().split(' ');
        if (f.size() > 3 && f[2] == remote && f[3] == synSent)
            ++pending;
    }
    return pending;
}

QString testRig::port(Line line)
{
    switch (line) {
    case Line::Pty:
        return device();
    case Line::Relay:
        return relay();
    case Line::Rfc2217:
        return serve(true);
    case Line::Socket:
        return serve(false);
    case Line::Nobody:
        return QStringLiteral("socket://127.0.0.1:%1").arg(freePort());
    case Line::Uncontrolled:
        return scriptedServer(QByteArray("\xff\xfe\x2c", 3));   // IAC DONT COM-PORT-OPTION
    case Line::Pending:
        return pendingServer(m_pending);
    case Line::Closing:
        return closingServer(0);
    case Line::CutAfterTwo:
        return closingServer(2);
    case Line::Resetting:
        // It takes the first byte of the command first: a reset before
        // that is a port that could not be opened, not a box left unsure.
        return closingServer(1, true);
    case Line::SilentNames:
        m_ownNetwork = ownNetwork(dir.path(), &missing);
        return m_ownNetwork ? QStringLiteral("socket://box.velmora.test:7000") : QString();
    }
    return QString();
}

QString testRig::serve(bool rfc2217, const QString &served)
{
    const quint16 tcp = freePort();
    // Over RFC 2217 the link sets the line itself; its server starts slow.
    const QByteArray config = "connection: &box\n  accepter: " + QByteArray(rfc2217 ? "telnet(rfc2217)," : "")
                              + "tcp,127.0.0.1," + QByteArray::number(tcp) + "\n  connector: serialdev,"
                              + QFile::encodeName(served.isEmpty() ? device() : served) + (rfc2217 ? ",9600n81,local\n" : ",115200n81,local\n");
    QDir().mkpath(path(QStringLiteral("line")));
    const QString file = path(QStringLiteral("line/ser2net.yaml"));
    if (tcp == 0 || !write(file, config))
        return QString();
    // Its chatter (debug lines, a missing mDNS) stays beside its configuration.
    serverProcess.setStandardOutputFile(path(QStringLiteral("line/ser2net.out")));
    serverProcess.setStandardErrorFile(path(QStringLiteral("line/ser2net.out")), QIODevice::Append);
    serverProcess.start(QStringLiteral("ser2net"), {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"), file});
    if (!serverProcess.waitForStarted(5000) || !QTest::qWaitFor([&] { return listening(tcp); }, 5000))
        return QString();
    return QStringLiteral("%1://127.0.0.1:%2").arg(rfc2217 ? "rfc2217" : "socket").arg(tcp);
}

QByteArray testRig::comPortServer(quint32 baud, char dataBits, char parity, char stopSize)
{
    auto sub = [](char code, const QByteArray &value) {
        return QByteArray("\xff\xfa\x2c", 3) + code + value + QByteArray("\xff\xf0", 2);
    };
    QByteArray baudValue(4, '\0');
    qToBigEndian(baud, baudValue.data());
    return QByteArray("\xff\xfd\x2c\xff\xfb\x00\xff\xfd\x00", 9) + sub(101, baudValue) + sub(102, QByteArray(1, dataBits))
           + sub(103, QByteArray(1, parity)) + sub(104, QByteArray(1, stopSize)) + sub(105, QByteArray(1, 1));
}

QString testRig::scriptedServer(const QByteArray &first, int waitBytes, const QByteArray &then, bool ipv6)
{
    const quint16 tcp = freePort();
    QDir().mkpath(path(QStringLiteral("line")));
    if (tcp == 0 || !write(path(QStringLiteral("line/first")), first) || !write(path(QStringLiteral("line/then")), then))
        return QString();
    const QString script = QStringLiteral("cat %1/first; head -c %2 >/dev/null; cat %1/then; sleep 30")
                               .arg(path(QStringLiteral("line")))
                               .arg(waitBytes);
    const QString listen = ipv6 ? QStringLiteral("TCP6-LISTEN:%1,bind=[::1],reuseaddr")
                                : QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr");
    serverProcess.start(QStringLiteral("socat"), {listen.arg(tcp), QStringLiteral("SYSTEM:") + script});
    if (!serverProcess.waitForStarted(5000) || !QTest::qWaitFor([&] { return listening(tcp, ipv6); }, 5000))
        return QString();
    return QStringLiteral("rfc2217://%1:%2").arg(ipv6 ? "[::1]" : "127.0.0.1").arg(tcp);
}

QString testRig::closingServer(int bytes, bool reset)
{
    const quint16 tcp = freePort();
    // socat always ends a connection with FIN; a zero linger on close sends RST.
    static const char resetting[] =
        "use Socket; socket(my $l, PF_INET, SOCK_STREAM, 0) or die; setsockopt($l, SOL_SOCKET, SO_REUSEADDR, 1);"
        "bind($l, sockaddr_in(%1, inet_aton('127.0.0.1'))) or die; listen($l, 5) or die;"
        "while (accept(my $c, $l)) { my $taken; read($c, $taken, %2) if %2; "
        "setsockopt($c, SOL_SOCKET, SO_LINGER, pack('ii', 1, 0)); close($c); }";
    if (reset)
        serverProcess.start(QStringLiteral("perl"), {QStringLiteral("-e"), QString::fromLatin1(resetting).arg(tcp).arg(bytes)});
    else
        serverProcess.start(QStringLiteral("socat"), {QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr").arg(tcp),
                                                      QStringLiteral("SYSTEM:head -c %1 >/dev/null").arg(bytes)});
    if (tcp == 0 || !serverProcess.waitForStarted(5000) || !QTest::qWaitFor([&] { return listening(tcp); }, 5000))
        return QString();
    return QStringLiteral("socket://127.0.0.1:%1").arg(tcp);
}

void testRig::killServerAfter(qint64 bytes, int delayMs)
{
    const qint64 pid = serverProcess.processId();
    m_killerRun = true;
    m_killer = std::thread([this, pid, bytes, delayMs] {
        while (m_killerRun && received().size() < bytes)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        if (m_killerRun && pid > 0)
            ::kill(pid_t(pid), SIGKILL);
    });
}

QByteArray testRig::telnetBait(const char *signatureHex, qint64 size)
{
    // IAC alone, IAC IAC, CR NUL, CR LF, IAC SB COM-PORT ... IAC SE, IAC WILL
    // BINARY, IAC DO COM-PORT, IAC NOP, a bare CR at the end of a run.
    static const char pattern[] = "\xff\xff\xff\r\0\r\n\xff\xfa\x2c\x01\x00\x01\xc2\x00\xff\xf0"
                                  "\xff\xfb\x00\xff\xfd\x2c\xff\xf1\r\xff\r";
    QByteArray bytes(int(size), '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = pattern[i % int(sizeof pattern - 1)];
    const QByteArray sig = QByteArray::fromHex(signatureHex);
    for (int i = 0; i < sig.size() && 16 + i < bytes.size(); ++i)
        bytes[16 + i] = sig.at(i);
    return bytes;
}

void testRig::withFileLimit(qint64 bytes, const std::function<void()> &job)
{
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    // Past the limit a write fails with EFBIG instead of ending the process.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (bytes >= 0) {
        rlimit limited = old;
        limited.rlim_cur = rlim_t(bytes);
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    job();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

void testRig::watch(serialComVesk &link)
{
    watchLink(link);
    for (auto result : {&serialComVesk::sendSoftwareVersion, &serialComVesk::sendLowPowerVersion,
                        &serialComVesk::sendMACAddress})
        connect(&link, result, this, [this](const QString &r) { results << r; });
}

template <class Link>
void testRig::watchLink(Link &link)
{
    connect(&link, &Link::sendCurrentAction, this, [this](int c) {
        codes << c;
        codeMs << m_clock.elapsed();
        trail << QStringLiteral("c%1").arg(c);
    });
    connect(&link, &Link::sendProgress, this, [this](int p) {
        progress << p;
        trail << QStringLiteral("p%1").arg(p);
    });
    connect(&link, &Link::writeLog, this, [this](const QString &l) {
        logs << l;
        trail << QLatin1Char('l') + l;
    });
}

void testRig::watch(serialComKarn &link)
{
    watchLink(link);
}

QString testRig::windowMiss(const Window &window, double scale) const
{
    if (window.ms < 0)
        return QString();
    const int end = codes.lastIndexOf(window.to);
    const int start = end < 0 ? -1 : codes.lastIndexOf(window.from, end - 1);
    const qint64 ms = start < 0 ? -1 : codeMs.at(end) - codeMs.at(start), least = window.times * linkClock::window(window.ms, scale);
    // The bound above only catches a wait far too long: a loaded machine may be slow.
    if (ms >= least && ms <= least * 2 + 1500)
        return QString();
    return QStringLiteral("%1 ms from %2 to %3, not %4").arg(ms).arg(window.from).arg(window.to).arg(least);
}

bool testRig::progressRises() const
{
    // The read-back that verifies an upload starts its own progress.
    const QStringList readBack = {QStringLiteral("c%1").arg(hdCode::Verifying), QStringLiteral("c%1").arg(sdCode::Verifying)};
    int last = 0;
    for (const QString &step : trail) {
        if (readBack.contains(step))
            last = 0;
        if (!step.startsWith(QLatin1Char('p')))
            continue;
        if (step.mid(1).toInt() < last)
            return false;
        last = step.mid(1).toInt();
    }
    return true;
}

bool testRig::matches(const QString &line, const QString &pattern)
{
    QString re = QRegularExpression::escape(pattern);
    re.replace(QLatin1String("\\#"), QLatin1String("[\\d,.]+")).replace(QLatin1String("\\*"), QLatin1String(".*"));
    return QRegularExpression(QLatin1Char('^') + re + QLatin1Char('$'), QRegularExpression::DotMatchesEverythingOption)
        .match(line)
        .hasMatch();
}

bool testRig::logged(const QStringList &patterns, const QStringList &lines) const
{
    int at = 0;
    for (const QString &p : patterns) {
        while (at < lines.size() && !matches(lines.at(at), p))
            ++at;
        if (at++ >= lines.size())
            return false;
    }
    return true;
}

QByteArray testRig::image(const char *signatureHex, qint64 size)
{
    QByteArray bytes(int(size), '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xff);
    const QByteArray sig = QByteArray::fromHex(signatureHex);
    for (int i = 0; i < sig.size() && 16 + i < bytes.size(); ++i)
        bytes[16 + i] = sig.at(i);
    return bytes;
}

bool testRig::write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray testRig::read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString testRig::sample(const QString &name)
{
    if (!name.startsWith(QLatin1Char('@')))
        return name;
    static const QHash<QString, QPair<const char *, int>> kinds = {
        {"hd", {"00004023", 4096}},    {"hdList", {"00003040", 4096}}, {"sdList", {"00000a07", 4096}},
        {"sd2", {"00000907", 4096}},   {"sd3", {"00000d07", 100000}},  {"sd4", {"00200600", 400000}},
        {"bigList", {"00003040", 409601}}};
    const QString kind = name.mid(1).section(QLatin1Char('='), 0, 0);
    const QString file = path(name.contains(QLatin1Char('=')) ? name.section(QLatin1Char('='), 1) : kind);
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (kinds.contains(kind))
        write(file, image(kinds[kind].first, kinds[kind].second));
    else if (kind == QLatin1String("text"))
        write(file, "just some text, no box would take this\n");
    else if (kind == QLatin1String("fifo"))   // whoever opens it to read waits for a writer
        ::mkfifo(QFile::encodeName(file).constData(), 0600);
    return file;
}

QStringList testRig::samples(const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        out << sample(n);
    return out;
}

bool testRig::run(const QStringList &args, QProcessEnvironment env)
{
    return run(program, args, env);
}

bool testRig::run(QProcess &process, const QStringList &args, QProcessEnvironment env)
{
    if (env.isEmpty()) {
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir.path());
    if (m_ownNetwork)
        process.start(QStringLiteral("unshare"), QStringList{QStringLiteral("-rmn"), QStringLiteral("sh"), QStringLiteral("-c"),
                                                            QLatin1String(ownNetworkScript), QStringLiteral(VELMORA_PROGRAM)} + args);
    else
        process.start(QStringLiteral(VELMORA_PROGRAM), args);
    return process.waitForStarted(10000);
}

QStringList testRig::programLog(const QString &file) const
{
    QString text = QString::fromUtf8(read(path(file.isEmpty() ? logName : file)));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d ?"));
    for (QString &line : lines)
        line.remove(stamp);
    return lines;
}

bool testRig::waitForLog(const QString &pattern, int ms, const QString &file)
{
    return QTest::qWaitFor([&] {
        for (const QString &l : programLog(file))
            if (matches(l, pattern))
                return true;
        return program.state() == QProcess::NotRunning;
    }, ms) && logged({pattern}, programLog(file));
}

bool testRig::saidOnStderr(const QByteArray &text)
{
    program.setReadChannel(QProcess::StandardError);
    return program.peek(program.bytesAvailable()).contains(text);
}

int testRig::signal(int number, int ms)
{
    if (program.state() == QProcess::NotRunning)
        return -2;
    ::kill(pid_t(program.processId()), number);
    if (!program.waitForFinished(ms) || program.exitStatus() != QProcess::NormalExit)
        return -1;
    return program.exitCode();
}

QVariant testRig::setting(const QString &key) const
{
    return QSettings(path(settingsName), QSettings::IniFormat).value(key);
}

bool testRig::lock(const QString &folder)
{
    m_locked = folder;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        return true;
    // Root is not stopped by modes, but by the immutable attribute.
    m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) == 0;
    return m_immutable;
}

void testRig::unlock()
{
    if (m_locked.isEmpty())
        return;
    if (m_immutable)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_locked});
    QFile::setPermissions(m_locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_locked.clear();
    m_immutable = false;
}

void testRig::setArguments(const QStringList &args)
{
    g_arguments = {QByteArrayLiteral("velmora")};
    for (const QString &a : args)
        g_arguments << a.toLocal8Bit();
    argc = g_arguments.size();
    for (int i = 0; i < argc; ++i)
        argv[i] = g_arguments[i].data();
    argv[argc] = nullptr;
}

void testRig::enter()
{
    m_home = QDir::currentPath();
    QDir::setCurrent(dir.path());
}

MainWindow *testRig::makeWindow(const QStringList &args)
{
    delete window;
    setArguments(args);
    window = new MainWindow(commandLine(QStringList{QStringLiteral("velmora")} + args));
    if (!m_boxTimer.isActive())
        closeBoxes(m_answer);
    watch(window);
    return window;
}

QString testRig::label() const
{
    return window->form()->lblFilename->text();
}

bool testRig::portErrorShown()
{
    return QTest::qWaitFor([&] {
        for (const Box &b : boxes)
            if (b.title == QLatin1String("Opening COM-Port") || b.title == QString::fromUtf8("COM-Port öffnen"))
                return true;
        return false;
    }, 5000) && QTest::qWaitFor([&] { return !window->jobRunning() && window->form()->btnUpdate->isEnabled(); }, 5000);
}

void testRig::closeBoxes(QMessageBox::StandardButton answer)
{
    m_answer = answer;
    // A box is counted when it shows: one that its moment closes again at
    // once may never be the active modal widget when the timer looks.
    qApp->installEventFilter(this);
    m_boxTimer.start(10);
}

bool testRig::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show)
        if (auto *box = qobject_cast<QMessageBox *>(watched))
            record(box);
    return QObject::eventFilter(watched, event);
}

void testRig::record(QMessageBox *box)
{
    if (box->property("recorded").toBool())
        return;
    box->setProperty("recorded", true);
    boxes.append({box->windowTitle(), box->text(), int(box->icon()), int(box->standardButtons())});
}

void testRig::pollBoxes()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || box->property("seen").toBool())
        return;
    box->setProperty("seen", true);
    record(box);
    QAbstractButton *button = box->button(m_answer);
    if (!button)
        button = box->button(QMessageBox::Ok);
    if (button)
        button->click();
    else
        box->reject();
}

void testRig::answerDialogs()
{
    m_dialogs = true;
    fileDialogs::setOverride([this](const QString &kind, const QString &title, const QString &dir,
                                    const QString &filter, QString *selected) {
        dialogs.append({kind, title, dir, filter});
        const auto a = answers.isEmpty() ? QPair<QStringList, QString>() : answers.takeFirst();
        if (selected)
            *selected = a.second;
        return a.first;
    });
}

void testRig::watch(MainWindow *window)
{
    m_watched = window;
    m_startedBefore = window->jobs().jobsStarted();
}

int testRig::sent() const
{
    const int started = m_watched->jobs().jobsStarted() - m_startedBefore;
    if (started > 1)
        return -1;
    return started == 1 ? int(m_watched->jobs().lastRequest().kind) : 0;
}
