#pragma once

#include "boxlink.h"

#include <QObject>
#include <QString>

class listBuffer;

// Link to a box of the HD family: its load chain from the step table, its
// list download and its service queries, in the frame of boxLink.
class serialComVesk : public boxLink
{
    Q_OBJECT
public:
    explicit serialComVesk(const QString &port = QString(), const QString &file = QString());

signals:
    void sendSoftwareVersion(QString version);
    void sendLowPowerVersion(QString version);
    void sendMACAddress(QString MAC);

public slots:
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
    // The load chain up to the box's finish, shared by update and upload;
    // false when the job ended early.
    bool loadFile(bool &finished);
    // Starts the box after a load; a start it does not report leaves the job
    // as it was, with a note.
    void startSettopbox();

    // The phases of the list download; progress measured against `measure` bytes.
    bool findListStart(listBuffer &list);
    bool receiveList(listBuffer &list, qint64 measure, qint64 &end);

    struct Query;
    static const Query softwareQuery, lowPowerQuery, macQuery, resetQuery;
    // `onceUp`: the console is asked until it answers before the question.
    void runQuery(const Query &query, bool onceUp = false);
    void askQuery(const Query &query);
    // The line still stands once a command that no answer confirms has had
    // time to reach the box; false when it went (or the job stops).
    bool lineStands();
    bool readAnswer(const Query &query, QByteArray &line, bool &whole);
    void resultSoftwareVersion(const QString &answer);
    void resultLowPowerVersion(const QString &answer);
    void resultMACAddress(const QString &answer);
    // An error code that ends the job at once, with the job's end code after it.
    void failEnding(int code, const linkCause &cause, const QString &logLine = QString());

    void doUpdateFirmware() override;
    void doSendChannellist() override;
    void doGetChannellist() override;
    bool sendCommand(const linkStep &step) override;
    void listSaved(qint64 size, const QString &name) override;
    bool probeConsole() override;
    bool readListAgain(QByteArray &bytes, qint64 measure) override;
    bool readListBack(QByteArray &list, qint64 measure) override;
};
