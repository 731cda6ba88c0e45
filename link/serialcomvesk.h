#pragma once

#include "boxlink.h"

#include <QObject>
#include <QString>

class hdStep;
class listBuffer;
class replyJoin;

// Link to a box of the HD family: its load chain from the step table, its
// list download and its service queries, in the frame of boxLink.
class serialComVesk : public boxLink
{
    Q_OBJECT
public:
    serialComVesk();
    explicit serialComVesk(const QString &port);
    serialComVesk(const QString &port, const QString &file);

signals:
    void sendSoftwareVersion(QString version);
    void sendLowPowerVersion(QString version);
    void sendMACAddress(QString MAC);

public slots:
    void updateFirmware();
    void sendChannellist();
    void getChannellist();
    void readSoftwareVersion();
    void readLowPowerVersion();
    void readMACAddress();
    void initFactoryReset();
    // The software version once the box has booted after a load: its
    // console is asked until it answers first.
    void readSoftwareVersionOnceUp();
    unsigned char checkFiletype(QString filename);

private:
    bool acceptJobFile(const QString &missingText, unsigned char kind);
    void doUpdateFirmware();
    void doSendChannellist();
    void doGetChannellist();

    // The steps of the load chain, each a row of the step table.
    bool restartPCB();
    bool openLoadMenu();
    void waitForBinaryMode();
    bool sendFile();
    bool waitForFlashing();
    bool waitForFinish();
    void startSettopbox();

    // One step of the table: its attempts, each a wait for replies that are
    // judged one by one.
    bool exchange(const hdStep &step);
    enum Outcome {
        Waiting,     // no verdict yet: read on
        AttemptOver, // the window closed, or the box asked for a new attempt
        Succeeded,
        Failed,      // reported, or the job was stopped
    };
    Outcome runAttempt(const hdStep &step, int attempt, replyJoin &join, QString &reply);
    static int firstMarker(const hdStep &step, const QString &text);
    Outcome judge(const hdStep &step, const QString &text, replyJoin &join, int attempt, qint64 ms, QString &held);
    Outcome decide(const hdStep &step, int marker, const QString &text, replyJoin &join, int attempt, qint64 ms);
    Outcome waitForReply(const hdStep &step, const QElapsedTimer &clock, qint64 window);
    bool readable(const hdStep &step) const;
    QByteArray readOnce(const hdStep &step);

    // The phases of the list download.
    bool findListStart(listBuffer &list);
    bool receiveList(listBuffer &list, qint64 &end);
    bool saveList(listBuffer &list, qint64 end);

    struct Query;
    static const Query softwareQuery, lowPowerQuery, macQuery, resetQuery;
    // `onceUp`: the console is asked until it answers before the question.
    void runQuery(const Query &query, bool onceUp = false);
    bool readAnswer(const Query &query, QByteArray &line, bool &whole);
    void resultSoftwareVersion(const QString &answer);
    void resultLowPowerVersion(const QString &answer);
    void resultMACAddress(const QString &answer);
    void fail(int code);

    void progressAfterBlock(qint64 position, qint64 size, qint64 length) override;
    void progressAfterFile(qint64 size) override;
    bool probeConsole() override;
    bool readListAgain(QByteArray &bytes) override;
    void reportFailure(int code) override { fail(code); }
    bool readListBack(QByteArray &list) override;
};
