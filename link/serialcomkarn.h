#pragma once

#include "serialline.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QElapsedTimer;
class sdStep;

// Link to a box of the SD family. Lives in a worker thread of its own; each
// job runs as one blocking slot call from its start code to its end code.
class serialComKarn : public QObject
{
    Q_OBJECT
public:
    serialComKarn();
    explicit serialComKarn(const QString &port);
    serialComKarn(const QString &port, const QString &file);
    ~serialComKarn() override;

    void setPortname(const QString &name);
    void setFilename(const QString &name);
    QString currentPortname() const { return portname; }
    QString currentFilename() const { return filename; }

    // Thread-safe: makes a running job give up at its next wait, so that the
    // window can close without killing a busy thread. It stays set.
    void requestStop();
    bool stopRequested() const { return serialPort.stopRequested(); }

signals:
    void sendCurrentAction(int action);
    void sendProgress(int progress);
    void writeLog(QString log);

public slots:
    void updateFirmware();
    void sendChannellist();
    void getChannellist();
    uchar checkFiletype(QString filename);

public:
    // More files than this in one update are refused.
    static constexpr int maxUpdateFiles = 255;

private:
    bool openPort();
    void closePort();
    void runJob(int code, void (serialComKarn::*body)());

    qint64 writeSlow(const char *text);
    qint64 writeSlow(const char *data, qint64 length);

    bool runStep(const sdStep &step);
    bool initDownload();
    bool openLoadMenu();
    bool initUpload();
    bool waitForFinish();
    bool startSettopbox();

    bool sendFile(QString name);
    bool loadFiles(const QStringList &files);
    void doUpdateFirmware();
    bool receiveChannellist(QString name);
    void doGetChannellist();
    void doSendChannellist();

    // Reading the box's lines and chunks, shared by every step.
    serialLine::Wait nextLine(const QElapsedTimer &clock, qint64 window, QString &line);
    serialLine::Wait readChunk(qint64 max, const QElapsedTimer &clock, qint64 window, QByteArray &chunk);
    void lostLine(int code);
    void progress();
    QString firstFilename() const;

    QString filename;
    QString portname;
    serialLine serialPort;
    qint64 bytesSent = 0;
    qint64 bytesTotal = 0;
};
