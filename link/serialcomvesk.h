#pragma once

#include "serialline.h"

#include <QObject>
#include <QString>

class hdStep;

// Link to a box of the HD family. Lives in a worker thread of its own; each
// job runs as one blocking slot call from its start code to its end code.
class serialComVesk : public QObject
{
    Q_OBJECT
public:
    serialComVesk();
    explicit serialComVesk(const QString &port);
    serialComVesk(const QString &port, const QString &file);
    ~serialComVesk() override;

    void setPortname(const QString &name);
    void setFilename(const QString &name);
    QString currentPortname() const { return portname; }
    QString currentFilename() const { return filename; }

    // Thread-safe: makes a running job give up at its next wait, so that the
    // window can close without killing a busy thread. It stays set.
    void requestStop();
    bool stopRequested() const { return serialPort.stopRequested(); }

signals:
    void sendSoftwareVersion(QString version);
    void sendLowPowerVersion(QString version);
    void sendMACAddress(QString MAC);
    void sendCurrentAction(int action);
    void sendProgress(int progress);
    void writeLog(QString log);

public slots:
    void updateFirmware();
    void sendChannellist();
    void getChannellist();
    void readSoftwareVersion();
    void readLowPowerVersion();
    void readMACAddress();
    void initFactoryReset();
    unsigned char checkFiletype(QString filename);

private:
    bool openPort();
    void closePort();
    void runJob(int code, void (serialComVesk::*body)());

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

    bool exchange(const hdStep &step);
    bool readable(const hdStep &step) const;
    QByteArray readOnce(const hdStep &step);
    void lostLine(int code);
    void runQuery(int code, const char *command, void (serialComVesk::*result)(const QString &));
    bool readAnswer(QString *answer);
    void resultSoftwareVersion(const QString &answer);
    void resultLowPowerVersion(const QString &answer);
    void resultMACAddress(const QString &answer);
    void fail(int code);

    QString filename;
    QString portname;
    serialLine serialPort;
};
