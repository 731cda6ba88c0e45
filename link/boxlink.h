#pragma once

#include "linkcause.h"
#include "serialline.h"

#include <QObject>
#include <QString>

#include <functional>

class QElapsedTimer;
class listBuffer;
class markerSearch;

// What both box links share: the port and file names, the serial line, the
// frame of a job (start code, job code, port, body, port closed, end code),
// the report of a lost line, sending a file in paced blocks and reading
// until a marker has come. Each family fills in its own codes and its own
// dialogue. A link lives in a worker thread of its own; each job runs as one
// blocking slot call from its start code to its end code.
class boxLink : public QObject
{
    Q_OBJECT
public:
    ~boxLink() override;

    void setPortname(const QString &name);
    void setFilename(const QString &name);
    QString currentPortname() const { return portname; }
    QString currentFilename() const { return filename; }
    // Whether a list upload is read back and compared with its file. Set, like
    // the names, while no job runs.
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
        int portFailed;
        int sendingFile;
        int fileSent;
        int fileFailed;   // the file to send cannot be opened or read
        int writeFailed;  // the port did not take a block
        // The read-back that verifies an uploaded list.
        int verifyWaiting;
        int verifying;
        int verified;
        int verifyDiffers;
        int verifyNoAnswer;
        int readsDiffer;
        Tier tiers[3];
    };

signals:
    void sendCurrentAction(int action);
    void sendProgress(int progress);
    void writeLog(QString log);
    // Beside a failure's status code: why, in facts a user can act on.
    void sendCause(linkCause cause);
    // A wait for the box has begun that lasts at most `ms` milliseconds.
    void sendWaiting(qint64 ms);

protected:
    boxLink(const Family &family, const QString &port, const QString &file);

    bool openPort();
    void closePort();
    // Start code, job code, port, body, port closed, end code; a port that
    // does not open ends the job with its code and the end code.
    void runJob(int code, const std::function<void()> &body);
    void lostLine(int code);
    // The box gave no awaited reply within `windowMs` (per attempt, over
    // `attempts`): silent, or with `lastReply` as its last word.
    void noReply(const QString &lastReply, qint64 windowMs, int attempts = 1);

    // Sends the file in the family's tiers of blocks, each drained before
    // the next; false after a code that ends the job (or a stop).
    bool sendBlocks(const QString &name);
    // The family's progress after a block has left, and after the whole file.
    virtual void progressAfterBlock(qint64 position, qint64 size, qint64 length) = 0;
    virtual void progressAfterFile(qint64 size);

    // Up to `max` bytes: what is there, else what arrives within one slice.
    serialLine::Wait readChunk(qint64 max, const QElapsedTimer &clock, qint64 window, QByteArray &chunk);
    // Reads pieces of up to `max` bytes until `search` has found its marker
    // (Arrived), the window is over (TimedOut), or the job stops or the line
    // goes.
    serialLine::Wait findMarker(markerSearch &search, qint64 max, const QElapsedTimer &clock, qint64 window);

    // After an upload that the box took: when verifying is on, waits for the
    // box's console, reads the list back with the family's own download
    // dialogue and compares it with the file `name`, which is only read.
    void verifyUpload(const QString &name);
    // How often a download is read at most while verifying: the first read
    // and two more, so that a single noisy read is outvoted.
    static constexpr int maxListReads = 3;
    // With verifying on, reads the downloaded list (`received`, the first
    // read, cut at its end) again with the family's own dialogue until two
    // reads agree byte for byte; `received` then holds the agreed bytes. False after a code that ends
    // the job (or a stop); nothing has been saved then.
    bool confirmDownload(listBuffer &received);
    // A failure code that ends the job, as the family reports one.
    virtual void reportFailure(int code) { emit sendCurrentAction(code); }
    // One more read of the list for confirmDownload(); false after its codes.
    virtual bool readListAgain(QByteArray &list) = 0;
    // One question to the console, with the family's command: true once the
    // console has answered it.
    virtual bool probeConsole() = 0;
    // Asks the console until it answers, within the time a box takes to
    // boot after its start; false when it never does (or the job stops).
    bool awaitConsole();
    // One more read of the list to compare (`read`: the family's read-back
    // or re-read), its log line and code first, progress against `size`.
    bool readForComparison(const QString &logLine, qint64 size, bool (boxLink::*read)(QByteArray &), QByteArray &bytes);
    // The family's list download into memory; false after its own codes (or
    // a stop).
    virtual bool readListBack(QByteArray &list) = 0;
    // Whether `marker` arrives within `window` ms (the line may split it);
    // a vanished line is reported with the family's verify code.
    bool answered(const QByteArray &marker, qint64 window);
    // Whether any reply comes within `window` ms of a question, once what
    // came before it is dropped; the reply is read until the line has been
    // quiet for a moment and dropped too. For a console whose answer has no
    // text that can be relied on.
    bool anyReply(qint64 window);
    // Drops what the box has sent so far.
    void dropInput();
    // Percent of a list being received: of the file being verified, else of
    // the family's nominal list size.
    int listProgress(qint64 received, qint64 nominal) const;

    QString filename;
    QString portname;
    serialLine serialPort;

private:
    bool writeBlock(const QByteArray &block);
    // Logs why the file cannot be sent, naming it, and reports the failure.
    void fileProblem(const char *what, const QString &name, const QString &reason);
    void compareList(const QByteArray &file, const QByteArray &box);

    const Family m_family;
    bool m_verify = false;
    qint64 m_readBackSize = 0;   // the file's size while a list is read back
};
