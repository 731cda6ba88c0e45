#pragma once

#include <QObject>
#include <QString>

#include "platformfile.h"

// Writes a time-stamped log, one line per event. Lives in a thread of its
// own; every line arrives through a queued signal. Each line reaches the file
// in one system call, so that several writers (other runs of the program
// appending to the same file) never cut or mix each other's lines.
class logfile : public QObject
{
    Q_OBJECT
public:
    // Where the lines go. The default is the window's log: "velmora.log" in
    // the working directory, emptied at each start. A batch run appends to
    // its log instead, each line tagged with its port.
    struct Target {
        QString path = QStringLiteral("velmora.log");
        bool append = false;
        QString tag{};   // put between the time and the text, as "[tag] "
    };

    // Emptying a log that another instance (a window, a batch run) holds
    // would lose its lines: a log to be emptied is held by this instance
    // alone, and when another holds it, this one writes a log of its own
    // beside it, velmora-<pid>.log. A log appended to is held shared: no
    // window empties it meanwhile.
    explicit logfile(QObject *parent = nullptr);
    explicit logfile(const Target &target, QObject *parent = nullptr);
    ~logfile() override;
    logfile(const logfile &) = delete;
    logfile &operator=(const logfile &) = delete;

    // The file the lines go to, once opened.
    QString path() const { return m_path; }
    // The log that another instance held, so that this one writes path()
    // instead; empty when it writes its target.
    QString heldElsewhere() const { return m_heldElsewhere; }
    // How many other instances held a log of this folder when this one
    // opened its own (0 when it writes its target): a window opens that
    // many steps away from where the first one stands.
    int othersHolding() const { return m_othersHolding; }
    // Why the first failed line failed; empty while every line went in.
    const QString &failure() const { return m_reason; }

signals:
    // The first line that could not be written, and why (the system's
    // words); the writer goes on trying with the lines that follow.
    void failed(const QString &path, const QString &reason);

public slots:
    void write(const QString &text);
    void writeLine(const QString &text);
    bool open();
    void close();

private:
    void put(const QByteArray &bytes);
    void fail();
    bool openAlone();
    QString candidate(int n) const;
    int countHeld() const;

    Target m_target;
    QString m_path;            // the target's, or this instance's own
    QString m_heldElsewhere;
    int m_othersHolding = 0;
    int m_candidate = 0;       // of the logs tried, the one in use
    platformFile m_file;
    bool m_failed = false;
    QString m_refusal;   // why the log's kind of file was refused, in words
    QString m_reason;    // the first failure's words, as sent in failed()
};
