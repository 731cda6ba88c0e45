#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class lineTransport;

// The worker of a boxWatch, in the watch's thread: holds the port between
// jobs, listens, and on a row that runs an HD job asks the console its MAC
// address now and then. What it may send is said in boxWatch.
class lineListener : public QObject
{
    Q_OBJECT
public:
    // What a port tells of the box on it, as far as it tells anything.
    enum Heard { Nothing = -1, Silent, HdConsole, SdStarting };

    struct Plan {
        QString port{};
        bool askHd = false;      // the row's job is an HD job: its console may be asked
        QString lastMac{};       // the box of the last job, where it was asked
    };

    // The HD console's read-only question. It changes nothing on a box.
    static const QByteArray macQuestion;
    // The MAC in one spelling: its twelve hex digits in capitals, else empty.
    static QString macKey(const QString &text);

    explicit lineListener(QObject *parent = nullptr);
    ~lineListener() override;

public slots:
    void begin(const lineListener::Plan &plan);
    void end();

signals:
    void heard(int family);
    // A new box answers: the watch is over and its port closed. `mac` is
    // empty for an SD box, which cannot be asked.
    void found(int family, const QString &mac);

private:
    void tick();
    void look();
    qint64 nextLookMs() const;
    bool openPort();
    void take(const QByteArray &bytes);
    void line(const QString &text);
    void answered(const QString &text);
    void tell(Heard family);
    void finish(Heard family, const QString &mac);

    Plan m_plan;
    std::unique_ptr<lineTransport> m_line;
    QTimer m_tick;
    QElapsedTimer m_clock;
    QByteArray m_pending;        // a line not yet ended
    qint64 m_lastByte = 0;       // on m_clock: the watch's start counts as the last word
    qint64 m_burstQuiet = 0;     // how quiet the line was before the text now arriving
    qint64 m_askedAt = -1;       // the question waits for its answer since then; -1: none waits
    qint64 m_lastAsk = -1;
    qint64 m_lastOpen = -1;      // the last try to open the port
    bool m_silenceSeen = false;  // no box answered once since the watch began
    Heard m_told = Nothing;
    bool m_running = false;
    bool m_looking = false;
};
Q_DECLARE_METATYPE(lineListener::Plan)
