#pragma once

#include <QObject>
#include <QString>

#include <atomic>

class QSerialPort;

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
    bool stopRequested() const { return m_stop.load(); }

signals:
    void sendCurrentAction(int action);
    void sendProgress(int progress);
    void writeLog(QString log);

public slots:
    void updateFirmware();
    void sendChannellist();
    void getChannellist();
    uchar checkFiletype(QString filename);

private:
    bool openPort();
    void closePort();
    void runJob(int code, void (serialComKarn::*body)());

    void doUpdateFirmware();
    void doSendChannellist();
    void doGetChannellist();

    QString filename;
    QString portname;
    QSerialPort *serialPort = nullptr;
    qint64 bytesSent = 0;
    qint64 bytesTotal = 0;
    std::atomic<bool> m_stop{false};
};
