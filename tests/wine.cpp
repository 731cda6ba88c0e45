// The program for Windows in batch mode, run under Wine against the simulated
// boxes: a box's pseudo-terminal is linked as a COM port of the Wine prefix,
// or served by ser2net as socket://. Run by tools/wincheck.sh, which builds
// the program and names it and its prefix; skipped without them.
#include "batchjob.h"
#include "testrig.h"

#include <QtTest>

#include <csignal>
#include <functional>
#include <optional>

class tst_wine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void batch_data();
    void batch();
};

namespace {

// The COM port the rows' boxes are linked as; one row runs at a time.
const char comName[] = "COM6";
// A port that no link names.
const char missingCom[] = "COM9";
// The first run of a prefix and a loaded machine make Wine slow to start.
constexpr int programMs = 120000;
// The close handler lets the job stop and say where it left the box; Wine
// starts the handler's thread at once.
constexpr qint64 stopBoundMs = 5000;


struct WineRow {
    QByteArray name{};
    bool sd = false;                     // the SD box, else the HD box
    bool stalls = false;                 // the HD box never reports its flash: it waits to be stopped
    QStringList args{};                  // "@port": the box's port
    QString locale = QStringLiteral("C");
    // What "@port" names: the COM port linked to the box, or another way to
    // it (a COM port a row names itself is not linked).
    QString (*port)(testRig &) = [](testRig &) { return QString::fromLatin1(comName); };
    int exitCode = batchJob::Done;
    QString out = QStringLiteral("\\A\\z");   // all of standard output
    QString err{};                       // found in standard error
    QStringList log{};                   // the port's log, in this order, between header and end
    std::optional<QByteArray> got{};     // all the box received
    QString saved{};                     // a download's file, compared with what the box printed
    QString records = QStringLiteral("\\A\\z");   // the --record file, as a pattern
    std::function<bool(testRig &)> interruptWhen{};   // Ctrl-C (SIGINT) once this holds
};

// Standard error's last line: the outcome and the exit code.
QString ended(const char *job, const char *outcome, int code)
{
    return QStringLiteral("^velmora: %1 %2 \\(exit code %3\\)\\n\\z").arg(job, outcome).arg(code);
}

QString winePrefix()
{
    return qEnvironmentVariable("WINEPREFIX");
}

QString windowsProgram()
{
    return qEnvironmentVariable("VELMORA_WINDOWS_PROGRAM");
}

// Wine makes a session's COM links anew from its registry when a session
// starts: the port is named there, to a link of the prefix's own that each
// row points at its box.
QString comTarget()
{
    return winePrefix() + "/velmora-" + QString::fromLatin1(comName).toLower();
}

} // namespace

Q_DECLARE_METATYPE(WineRow)

void tst_wine::initTestCase()
{
    if (windowsProgram().isEmpty() || winePrefix().isEmpty())
        QSKIP("no program for Windows named (VELMORA_WINDOWS_PROGRAM, WINEPREFIX): tools/wincheck.sh runs this");
    QVERIFY2(QFileInfo(windowsProgram()).isFile(), qPrintable(windowsProgram()));
    QVERIFY2(QFileInfo(winePrefix() + "/dosdevices").isDir(), qPrintable(winePrefix()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINEDEBUG", "-all");
    QProcess reg;
    reg.setProcessEnvironment(env);
    reg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reg.start("wine", QStringList{"reg", "add", "HKLM\\Software\\Wine\\Ports", "/v", comName, "/t", "REG_SZ", "/d", comTarget(), "/f"});
    QVERIFY(reg.waitForFinished(programMs));
    QCOMPARE(reg.exitCode(), 0);
    // For the session that runs now.
    const QString link = winePrefix() + "/dosdevices/" + QString::fromLatin1(comName).toLower();
    QFile::remove(link);
    QVERIFY(QFile::link(comTarget(), link));
}

void tst_wine::batch_data()
{
    const QString done = ended("[-\\w ]+", "done", 0);
    const QByteArray hdImage = testRig::image("00004023", 4096);
    const QByteArray sdImage = testRig::image("00000907", 4096);
    const QStringList updateHd{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app"};
    const QString isoTime = "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}(Z|[+-]\\d\\d:\\d\\d)";
    const WineRow rows[] = {
        {.name = "UpdateHD on a COM port", .args = updateHd, .err = "^\\d+%\\n[^%]*^Update done\\n" + done,
         .log = {"Updating Firmware: hd.app", "File sent. Wrote 4096 data", "Flashing done: * #ms", "Update done after # s"},
         .got = "r\r\nl\r\n" + hdImage + "s\r\n"},
        {.name = "GetListHD on a COM port, recorded",
         .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "out.lis", "--record", "rec.csv"},
         .err = "^Listdownload complete\\n" + done,
         .log = {"Downloading Channel list: out.lis", "Start found", "End of List found", "Downloading done after # s"},
         .got = "help\r\nchlist\r\n", .saved = "out.lis",
         .records = "\\A\\x{FEFF}start,[^\\r]*\\r\\n" + isoTime + ",[\\d.]+," + comName +
                    ",HD,GetListHD,out.lis,\\d+,[0-9a-f]{64},,,,done,,,list-saved,0,1\\r\\n\\z"},
        {.name = "--query mac on a COM port", .args = {"--query", "mac", "-p", "@port"},
         .out = "\\A00-A1-B2-C3-D4-E5\\n\\z", .err = done, .got = "get_mac\r\n"},
        {.name = "UpdateHD with --identify on a COM port", .args = updateHd + QStringList{"--identify"},
         .err = "^port +MAC +version +result +time\\n\\S+ +00-A1-B2-C3-D4-E5 +V2.10.04 HD 2026-03-18 -> "
                "V2.10.04 HD 2026-03-18 +done: Update done +[\\d.]+ s\\n" + done,
         .log = {"Updating Firmware: hd.app", "Update done after # s"}},
        {.name = "UpdateSD on a COM port", .sd = true, .args = {"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.app"},
         .err = "^\\d+%\\n[^%]*^Update done\\n" + done,
         .log = {"Updating Firmware", "Sending file sd.app", "File sent. Wrote 4096 data", "Update done after # s"},
         .got = "100\r\n100\r\n" + sdImage + "300\r\n"},
        {.name = "GetListSD on a COM port", .sd = true, .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "out.lst"},
         .err = "^Listdownload complete\\n" + done, .log = {"Downloading Channel list", "Saving List to out.lst"},
         .saved = "out.lst"},
        // The reason is the system's own words, in the user's language.
        {.name = "a missing COM port", .args = {"--batch", "-p", missingCom, "-t", "GetListHD", "-f", "out.lis"},
         .exitCode = batchJob::PortFailed,
         .err = QStringLiteral("^  cause: the port %1 could not be opened: \\w[^\\n]*\\n"
                               "  what to do: plug the adapter in[^\\n]*\\n").arg(missingCom) +
                ended("GetListHD", "failed", 3),
         .log = {QStringLiteral("Error: open Port: * (%1)").arg(missingCom)}},
        {.name = "a missing COM port, in German", .args = {"--batch", "-p", missingCom, "-t", "GetListHD", "-f", "out.lis"},
         .locale = "de_DE.UTF-8", .exitCode = batchJob::PortFailed,
         .err = QStringLiteral("^  Ursache: der Port %1 konnte nicht geöffnet werden: \\w[^\\n]*\\n").arg(missingCom) +
                "[\\s\\S]*^velmora: GetListHD fehlgeschlagen \\(Exit-Code 3\\)\\n\\z",
         .log = {QStringLiteral("Error: open Port: * (%1)").arg(missingCom)}},
        {.name = "Ctrl-C while the box flashes", .stalls = true, .args = updateHd, .exitCode = batchJob::Interrupted,
         .err = "^Waiting till? File flashed\\n\\(waiting at most 16 s\\)\\n"
                "velmora: interrupted[\\s\\S]*  cause: the job was stopped: interrupted by SIGINT\\n"
                "  box: the box may be left half-updated: update it again before you start it\\n" +
                ended("UpdateHD", "stopped", 130),
         .log = {"File sent. Wrote 4096 data", "Job stopped: interrupted by SIGINT", "",
                 "The box may be left half-updated: update it again before you start it"},
         // The job waits for the flash: the stop cannot come before its words.
         .interruptWhen = [](testRig &r) { return r.saidOnStderr("(waiting at most 16 s)\r\n"); }},
        {.name = "UpdateHD over socket://", .args = updateHd, .port = [](testRig &r) { return r.port(testRig::Line::Socket); }, .err = "^Update done\\n" + done,
         .log = {"Updating Firmware: hd.app", "File sent. Wrote 4096 data", "Update done after # s"},
         .got = "r\r\nl\r\n" + hdImage + "s\r\n"},
    };
    QTest::addColumn<WineRow>("row");
    for (const WineRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_wine::batch()
{
    QFETCH(WineRow, row);
    static const QRegularExpression portMark("^@port$");
    hdBox::Behaviour b;
    b.list = hdBox::sampleList(80);
    b.flashReply = !row.stalls;
    std::unique_ptr<testRig> rig(row.sd ? new testRig(sdBox::Config()) : new testRig(b));
    rig->samples({"@hd=hd.app", "@sd2=sd.app"});

    // Wine follows the COM port's links at each open.
    QFile::remove(comTarget());
    QVERIFY(QFile::link(rig->device(), comTarget()));
    const QString port = row.port(*rig);
    QVERIFY2(!port.isEmpty(), qPrintable(rig->missing));
    row.args.replaceInStrings(portMark, port);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", row.locale);
    env.insert("WINEDEBUG", "-all");
    QProcess &program = rig->program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(rig->dir.path());
    program.start("wine", QStringList{windowsProgram()} + row.args);
    QVERIFY(program.waitForStarted(10000));
    QElapsedTimer interrupted;
    const auto interrupt = [&] {
        ::kill(pid_t(program.processId()), SIGINT);
        interrupted.start();
    };
    if (row.interruptWhen) {
        QVERIFY(QTest::qWaitFor([&] { return row.interruptWhen(*rig); }, programMs));
        interrupt();
    }
    QVERIFY(program.waitForFinished(programMs));
    QVERIFY2(!interrupted.isValid() || interrupted.elapsed() < stopBoundMs, qPrintable(QString::number(interrupted.elapsed())));
    // Windows' C library ends the lines of its text streams with CR LF.
    const QString output = QString::fromUtf8(program.readAllStandardOutput()).replace("\r\n", "\n");
    const QString errors = QString::fromUtf8(program.readAllStandardError()).replace("\r\n", "\n");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == row.exitCode, qPrintable(QString::number(program.exitCode()) + "\n" + errors));
    QVERIFY2(QRegularExpression(row.out).match(output).hasMatch(), qPrintable(output));
    QVERIFY2(QRegularExpression(row.err, QRegularExpression::MultilineOption).match(errors).hasMatch(), qPrintable(errors));
    if (row.got)
        QTRY_COMPARE_WITH_TIMEOUT(rig->received(), *row.got, 5000);
    if (!row.saved.isEmpty())
        QVERIFY(testRig::read(rig->path(row.saved)) == (row.sd ? sdBox::plausibleList() : hdBox::sampleList(80)));
    const int r = row.args.indexOf("--record");
    // Behind another character, a UTF-8 mark is decoded, not dropped.
    const QString records =
        QString::fromUtf8("|" + (r < 0 ? QByteArray() : testRig::read(rig->path(row.args.at(r + 1))))).mid(1);
    QVERIFY2(QRegularExpression(row.records).match(records).hasMatch(), qPrintable(records));

    // The port's own log, UTF-8 from its header to its end, each line tagged.
    const QString logPort = row.args.at(row.args.indexOf("-p") + 1);
    const QString logName = batchJob::logName(logPort);
    const QStringList log = rig->programLog(logName);
    QVERIFY2(log.size() > 2 && testRig::matches(log.first(), "[*] ========== #-#-# #:#:# Velmora 3.0.0.8: * on " + logPort + "*"),
             qPrintable(log.join('\n')));
    QVERIFY2(testRig::matches(log.last(), QString("[*] ========== END: exit code %1, *").arg(row.exitCode)),
             qPrintable(log.join('\n')));
    QStringList body = log.mid(1, log.size() - 2);
    const QString tag = "[" + QFileInfo(logName).completeBaseName().mid(QStringLiteral("velmora-").size()) + "] ";
    for (QString &line : body) {
        QVERIFY2(line.startsWith(tag), qPrintable(line));
        line.remove(0, tag.size());
    }
    QVERIFY2(rig->logged(row.log, body), qPrintable(body.join('\n')));
    const QByteArray bytes = testRig::read(rig->path(logName));
    QVERIFY2(QString::fromUtf8(bytes).toUtf8() == bytes, "the log is not UTF-8");
}

QTEST_GUILESS_MAIN(tst_wine)
#include "wine.moc"
