#pragma once

#include "boxlink.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QElapsedTimer;
class listBuffer;
class replyJoin;
class sdStep;

// Link to a box of the SD family: its paced commands from the step table,
// its updates of one or several files and its list transfers, in the frame
// of boxLink.
class serialComKarn : public boxLink
{
    Q_OBJECT
public:
    serialComKarn();
    explicit serialComKarn(const QString &port);
    serialComKarn(const QString &port, const QString &file);

public slots:
    void updateFirmware();
    void sendChannellist();
    void getChannellist();
    uchar checkFiletype(QString filename);

public:
    // More files than this in one update are refused.
    static constexpr int maxUpdateFiles = 255;

private:
    qint64 writeSlow(const char *text);
    qint64 writeSlow(const char *data, qint64 length);

    // One step of the table: two attempts, each a command and a window in
    // which the box's lines are judged.
    enum Outcome {
        Waiting,     // no verdict yet: read on
        AttemptOver, // the window closed, or the box asked for a new attempt
        Succeeded,
        Failed,      // reported, or the job was stopped
    };
    bool runStep(const sdStep &step);
    Outcome runAttempt(const sdStep &step, replyJoin &join, QString &cited);
    static int firstMarker(const sdStep &step, const QString &line);
    Outcome judge(const sdStep &step, const QString &line, replyJoin &join, QString &held);
    Outcome decide(const sdStep &step, int marker, const QString &line, replyJoin &join);
    bool initDownload();
    bool openLoadMenu();
    bool initUpload();
    bool waitForFinish();
    bool startSettopbox();

    bool sendFile(QString name);
    bool loadFiles(const QStringList &files);
    void doUpdateFirmware();
    void doGetChannellist();
    void doSendChannellist();

    // The phases of the list download.
    bool receiveChannellist(QString name);
    bool fetchList(listBuffer &list, const QString &what);
    bool findListStart(const QElapsedTimer &clock, QByteArray &rest);
    bool skipPreamble(const QElapsedTimer &clock, QByteArray &rest, QByteArray &first);
    serialLine::Wait nextPreambleByte(const QElapsedTimer &clock, qint64 window, QByteArray &rest, bool &firstRead,
                                      QByteArray &byte);
    bool receiveList(QByteArray chunk, listBuffer &list);
    bool saveList(listBuffer &list, const QString &name);

    // Reading the box's lines, shared by every step.
    serialLine::Wait nextLine(const QElapsedTimer &clock, qint64 window, replyJoin &join, QString &line);
    void progress();
    QString firstFilename() const;

    void progressAfterBlock(qint64 position, qint64 size, qint64 length) override;
    bool probeConsole() override;
    bool readListAgain(QByteArray &bytes) override;
    bool readListBack(QByteArray &list) override;

    qint64 bytesSent = 0;
    qint64 bytesTotal = 0;
    bool m_boxStarted = true;   // false while the box stays in its load menu
};
