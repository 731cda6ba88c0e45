#pragma once

#include "linkcause.h"
#include "linkoutcome.h"
#include "linkstep.h"
#include "serialline.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

class listBuffer;
class markerSearch;
class replyJoin;

// What both box links share: the port and file names, the serial line, the
// frame of a job (start code, job code, port, body, port closed, end code,
// outcome), the one engine that runs a dialogue step from a family's table,
// sending a file in paced blocks, reading until a marker has come, and
// saving a received list. Each family fills in its codes, its tables and the
// few places where its dialogue differs. A link lives in a worker thread of
// its own; each job runs as one blocking slot call.
class boxLink : public QObject
{
    Q_OBJECT
public:
    ~boxLink() override;

    void setPortname(const QString &name);
    void setFilename(const QString &name);
    QString currentPortname() const { return portname; }
    QString currentFilename() const { return filename; }
    // Whether a list upload is read back and compared with its file, and a
    // download read until two reads agree. Set, like the names, while no job runs.
    void setVerify(bool on);
    bool verifyOn() const { return m_verify; }

    // Thread-safe: makes a running job give up at its next wait, so that the
    // window can close without killing a busy thread. It stays set.
    void requestStop(int why = serialLine::WindowClosed);
    // Only while no job runs: the next job is not stopped by an earlier Stop.
    void clearStop() { serialPort.clearStop(); }
    bool stopRequested() const { return serialPort.stopRequested(); }

    // A file goes in blocks of `block` bytes while more than `reserve` bytes
    // are left, so its end goes in ever finer blocks.
    struct Tier
    {
        qint64 reserve;
        int block;
    };
    // How long a box gets after its start until its console answers. A real
    // box decompresses its firmware ("Deflat OK"), then boots its system and
    // only then reads its console; that takes some 10 to 20 s, so 30 s leave
    // room without letting a dead box hold the job for long.
    static constexpr qint64 consoleWindowMs = 30000;

    // A family's codes for the parts of the frame, and its block tiers.
    struct Family
    {
        int jobStarted;
        int jobEnded;
        // The jobs' own codes.
        int updating;
        int uploading;
        int downloading;
        int portFailed;
        int sendingFile;
        int fileSent;
        int fileFailed;   // the file to send cannot be opened or read
        int writeFailed;  // the port did not take a block
        int receiveFailed;
        int downloadTimeout;
        int endFound;
        // The read-back that verifies an uploaded list.
        int verifyWaiting;
        int verifying;
        int verified;
        int verifyDiffers;
        int verifyNoAnswer;
        int readsDiffer;
        // A failed list download also sends the end code at once.
        bool listErrorsEnd;
        Tier tiers[3];
    };
    // A family's frame from its code table (sdCode or hdCode, which name
    // the same steps).
    template <class Codes>
    static constexpr Family familyOf(bool listErrorsEnd, Tier coarse, Tier fine, Tier last)
    {
        return {.jobStarted = Codes::JobStarted, .jobEnded = Codes::JobEnded, .updating = Codes::Updating,
                .uploading = Codes::Uploading, .downloading = Codes::Downloading, .portFailed = Codes::PortFailed,
                .sendingFile = Codes::SendingFile, .fileSent = Codes::FileSent, .fileFailed = Codes::FileFailed,
                .writeFailed = Codes::WriteFailed, .receiveFailed = Codes::ReceiveFailed,
                .downloadTimeout = Codes::DownloadTimeout, .endFound = Codes::EndFound,
                .verifyWaiting = Codes::VerifyWaiting, .verifying = Codes::Verifying, .verified = Codes::Verified,
                .verifyDiffers = Codes::VerifyDiffers, .verifyNoAnswer = Codes::VerifyNoAnswer,
                .readsDiffer = Codes::ReadsDiffer, .listErrorsEnd = listErrorsEnd, .tiers = {coarse, fine, last}};
    }

public slots:
    // The three jobs, each run whole in the link's thread: the family's
    // dialogue in the frame of runJob().
    void updateFirmware();
    void sendChannellist();
    void getChannellist();

signals:
    void sendCurrentAction(int action);
    void sendProgress(int progress);
    void writeLog(QString log);
    // A wait for the box has begun that lasts at most `ms` milliseconds.
    void sendWaiting(qint64 ms);
    // The job's file has begun to go to the box, and has gone (or failed).
    void sendFileBegan();
    void sendFileEnded();
    // The job has ended: what it came to. Once a job, after its last log line.
    void sendOutcome(linkOutcome outcome);

protected:
    boxLink(const Family &family, const QString &port, const QString &file);

    // Start code, job code, port, body, port closed, end code, outcome; a
    // port that does not open ends the job with its code and the end code.
    void runJob(int code, const std::function<void()> &body);

    // The family's dialogue of each job.
    virtual void doUpdateFirmware() = 0;
    virtual void doSendChannellist() = 0;
    virtual void doGetChannellist() = 0;

    // ---- what the job came to, said once where it happens
    // A step has begun or reached its mark: its progress code.
    void step(int code);
    // The job's work is done: its result code.
    void succeed(int code);
    // The job fails: the log line (if any), then the code; the first failure
    // decides, and a failure after a result undoes it.
    void fail(int code, const linkCause &cause, const QString &logLine = QString());
    // A failure without a status code of its own.
    static constexpr int noStatus = -1;
    // A failure of a list download: with the family's end code where it sends one.
    void failList(int code, const linkCause &cause, const QString &logLine = QString());
    void boxLeft(linkOutcome::Box box) { m_outcome.box = box; }
    void startUnconfirmed() { m_outcome.startUnconfirmed = true; }
    // A done job's note (a saved list that cannot go back to a box).
    void noteOnSave(const linkCause &note);
    void answered(const QString &answer);
    // A job with no result code of its own (a command sent) is done.
    void completed() { m_done = true; }
    // Why the line went: LineGone; ConnectionGone, or ServerDevice, on a
    // serial server's port.
    linkCause goneCause() const;
    // Why a write did not leave: the line went (said in the log), or it stalled.
    linkCause lineFailure();
    // The line vanished: reported with `code`; the job is halted from here.
    void lostLine(int code);
    // The box gave no awaited reply within `windowMs` (per attempt, over
    // `attempts`): silent, or with `lastReply` as its last word.
    static linkCause silence(const QString &lastReply, qint64 windowMs, int attempts = 1);

    // ---- the step engine
    // Runs one row of a family's table: its attempts, each a command (if
    // any) and a wait for replies that are judged one by one. A step that is
    // not `needed` reports its failure without failing the job.
    bool runStep(const linkStep &step, bool needed = true);
    // The family's way of sending a step's command; false when it did not
    // leave whole (the cause is then the line's).
    virtual bool sendCommand(const linkStep &step) = 0;
    // Sends a step's command through sendCommand(): a command that did not
    // leave whole fails the step's job, and no command follows it.
    bool sendWhole(const linkStep &step);
    // The box's next line within the window: up to a line end, or a part of
    // one once the line has paused after it (at most 49 bytes).
    serialLine::Wait nextLine(const QElapsedTimer &clock, qint64 window, replyJoin &join, QString &line);

    // ---- files
    // Sends the file in the family's tiers of blocks, each drained before
    // the next, with progress over `total` bytes of the job (`sent` so far);
    // false after a code that ends the job (or a stop).
    struct Progress
    {
        qint64 sent = 0;
        qint64 total = 0;
    };
    bool sendBlocks(const QString &name, Progress &progress);

    // ---- reading
    // Up to `max` bytes: what is there, else what arrives within one slice.
    serialLine::Wait readChunk(qint64 max, const QElapsedTimer &clock, qint64 window, QByteArray &chunk);
    // Reads pieces of up to `max` bytes until `search` has found its marker
    // (Arrived), the window is over (TimedOut), or the job stops or the line goes.
    serialLine::Wait findMarker(markerSearch &search, qint64 max, const QElapsedTimer &clock, qint64 window);
    // Reads pieces of up to `piece` bytes until the list's start marker of
    // `start` has come, within `windowMs` on `clock`. Without it: the box
    // talked without it (`notFoundLog`) or said nothing, reported as the
    // family reports a failed download.
    bool awaitListStart(markerSearch &start, qint64 piece, qint64 windowMs, const QElapsedTimer &clock,
                        const char *notFoundLog);
    // A list past the longest one a box holds: reported, and true.
    bool listTooLong(const listBuffer &list);
    // Writes the received list to `name`, only once it is whole and not
    // blank; an existing file survives every failure.
    bool saveList(listBuffer &list, const QString &name);
    // After a list was saved: the family's own words about it.
    virtual void listSaved(qint64 size, const QString &name) = 0;
    // Percent of a list of `measure` bytes received.
    static int listProgress(qint64 received, qint64 measure);

    // ---- verifying
    // After an upload that the box took: when verifying is on, waits for the
    // box's console, reads the list back with the family's own download
    // dialogue and compares it with the file `name`, which is only read.
    void verifyUpload(const QString &name);
    // How often a download is read at most while verifying: the first read
    // and two more, so that a single noisy read is outvoted.
    static constexpr int maxListReads = 3;
    // With verifying on, reads the downloaded list (`received`, the first
    // read, cut at its end) again with the family's own dialogue until two
    // reads agree byte for byte; `received` then holds the agreed bytes.
    // False after a code that ends the job (or a stop); nothing saved then.
    bool confirmDownload(listBuffer &received);
    // One more read of the list, progress measured against `measure` bytes;
    // false after its codes.
    virtual bool readListAgain(QByteArray &list, qint64 measure) = 0;
    // The family's list download into memory; false after its own codes.
    virtual bool readListBack(QByteArray &list, qint64 measure) = 0;
    // One question to the console, with the family's command: true once the
    // console has answered it.
    virtual bool probeConsole() = 0;
    // Asks the console until it answers, within the time a box takes to
    // boot after its start; false when it never does (or the job stops).
    bool awaitConsole();
    // Whether `marker` arrives within `window` ms (the line may split it);
    // a vanished line is reported with the family's verify code.
    bool markerArrives(const QByteArray &marker, qint64 window);
    // Whether any reply comes within `window` ms of a question; the reply is
    // read until the line has been quiet for a moment and dropped too.
    bool anyReply(qint64 window);
    // Drops what the box has sent so far.
    void dropInput();

    const Family &family() const { return m_family; }

    QString filename;
    QString portname;
    serialLine serialPort;

private:
    enum Verdict {
        Waiting,     // no verdict yet: read on
        AttemptOver, // the window closed, or the box asked for a new attempt
        Succeeded,
        Failed,      // reported, or the job was stopped
    };
    struct Attempt;
    bool openPort();
    void closePort();
    void finishJob();
    int failCode(const linkStep &step) const;
    void stepFailed(bool needed, int code, const linkCause &cause);
    bool commandSent(const linkStep &step, Attempt &attempt);
    Verdict runAttempt(const linkStep &step, Attempt &attempt);
    serialLine::Wait nextReply(const linkStep &step, const QElapsedTimer &clock, qint64 window, replyJoin &join,
                               QString &text);
    bool readable(const linkStep &step) const;
    QByteArray readOnce(const linkStep &step);
    static int firstMarker(const linkStep &step, const QString &text);
    Verdict judge(const linkStep &step, const QString &text, Attempt &attempt, QString &held);
    Verdict decide(const linkStep &step, int marker, const QString &text, Attempt &attempt);
    QString timed(const linkStep &step, const Attempt &attempt) const;
    bool sendFile(const QString &name, Progress &progress);
    bool writeBlock(const QByteArray &block);

    // Logs why the file cannot be sent, naming it, and reports the failure.
    void fileProblem(const char *what, const QString &name, const QString &reason);
    bool readForComparison(const QString &logLine, qint64 size, bool (boxLink::*read)(QByteArray &, qint64),
                           QByteArray &bytes);
    void compareList(const QByteArray &file, const QByteArray &box);

    const Family m_family;
    bool m_verify = false;
    // The job under way.
    linkOutcome m_outcome;
    QElapsedTimer m_jobClock;
    int m_lastStep = -1;
    bool m_done = false;
    bool m_failed = false;
    bool m_commandCut = false;   // a command left in part: nothing more may follow it
};
