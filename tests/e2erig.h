#pragma once

// Shared by the end-to-end tests: the real program started in a working
// directory of its own against a simulated box, closed by a signal as a
// desktop session would close it, and what it left behind.

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

class velmoraRun
{
public:
    velmoraRun() { m_proc.setWorkingDirectory(m_dir.path()); }
    ~velmoraRun()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(5000);
        }
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool start(const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_proc.setProcessEnvironment(env);
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proc.start(QStringLiteral(VELMORA_PROGRAM), args);
        return m_proc.waitForStarted(10000);
    }

    // The log without time stamps and with measured times as "#".
    QStringList log() const
    {
        static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d ?"));
        static const QRegularExpression ms(QStringLiteral("\\d[\\d.,]*ms"));
        static const QRegularExpression secs(QStringLiteral("after [\\d.,]+ s"));
        QString text = QString::fromUtf8(read(QStringLiteral("velmora.log")));
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
        for (QString &line : lines) {
            line.remove(stamp);
            line.replace(ms, QStringLiteral("#ms"));
            line.replace(secs, QStringLiteral("after # s"));
        }
        return lines;
    }

    // A job's end leaves an empty line after the two start lines.
    bool waitForJobEnd(int ms) { return waitFor([this] { const QStringList l = log(); return l.size() > 2 && l.last().isEmpty(); }, ms); }

    bool waitForLogLine(const QString &prefix, int ms)
    {
        return waitFor([&] {
            for (const QString &l : log())
                if (l.startsWith(prefix))
                    return true;
            return false;
        }, ms);
    }

    template <typename F> bool waitFor(F done, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > ms || m_proc.state() == QProcess::NotRunning)
                return done();
            QTest::qWait(25);
        }
        return true;
    }

    // Closes the window by SIGTERM; the exit code, or -1 when it did not end
    // normally within `ms`. Sets `tookMs`.
    int terminate(int ms = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        if (m_proc.state() == QProcess::NotRunning)
            return -2;
        ::kill(pid_t(m_proc.processId()), SIGTERM);
        const bool ended = m_proc.waitForFinished(ms);
        tookMs = clock.elapsed();
        if (!ended || m_proc.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_proc.exitCode();
    }

    QVariant setting(const QString &key) const
    {
        QSettings ini(path(QStringLiteral("settings.ini")), QSettings::IniFormat);
        return ini.value(key);
    }

    qint64 tookMs = 0;
    QTemporaryDir m_dir;
    QProcess m_proc;
};

// True when the process has the device open: what a port left open shows.
inline bool holdsDevice(qint64 pid, const QString &device)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target == device || target.startsWith(device + QLatin1Char(' ')))
            return true;
    }
    return false;
}

// True when a program could open the line now, so nobody holds it.
inline bool lineFree(const QString &device)
{
    QSerialPort port;
    port.setPortName(device);
    const bool ok = port.open(QIODevice::ReadWrite);
    port.close();
    return ok;
}

inline QByteArray patterned(qint64 size, const char *signatureHex)
{
    QByteArray bytes(int(size), '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xff);
    const QByteArray sig = QByteArray::fromHex(signatureHex);
    for (int i = 0; i < sig.size() && 16 + i < bytes.size(); ++i)
        bytes[16 + i] = sig.at(i);
    return bytes;
}
