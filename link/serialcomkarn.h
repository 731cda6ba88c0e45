#pragma once

#include "boxlink.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QElapsedTimer;
class listBuffer;

// Link to a box of the SD family: its paced commands from the step table,
// its updates of one or several files and its list transfers, in the frame
// of boxLink.
class serialComKarn : public boxLink
{
    Q_OBJECT
public:
    explicit serialComKarn(const QString &port = QString(), const QString &file = QString());

public slots:
    uchar checkFiletype(QString filename);

public:
    // More files than this in one update are refused.
    static constexpr int maxUpdateFiles = 255;

private:
    // Sends `text` paced byte by byte; false when a byte did not leave.
    bool writeSlow(const char *text);

    void doUpdateFirmware() override;
    void doSendChannellist() override;
    void doGetChannellist() override;
    bool sendCommand(const linkStep &step) override;
    bool waitForFinish();
    bool sendFile(const QString &name, Progress &progress);
    // Loads the files in one visit to the load menu; false when the job ended early.
    bool loadFiles(const QStringList &files, qint64 total);
    bool startAgain();
    // The files of an update, each an SD image, and their bytes in all;
    // false after the code that refuses them.
    bool acceptImages(const QStringList &files, qint64 &total);

    // The phases of the list download; progress measured against `measure` bytes.
    bool fetchList(listBuffer &list, const QString &what, qint64 measure);
    bool findListStart(const QElapsedTimer &clock, QByteArray &rest);
    bool skipPreamble(const QElapsedTimer &clock, QByteArray &rest, QByteArray &first);
    serialLine::Wait nextPreambleByte(const QElapsedTimer &clock, qint64 window, QByteArray &rest, bool &firstRead,
                                      QByteArray &byte);
    bool receiveList(QByteArray chunk, listBuffer &list, qint64 measure);

    QString firstFilename() const;

    void listSaved(qint64 size, const QString &name) override;
    bool probeConsole() override;
    bool readListAgain(QByteArray &bytes, qint64 measure) override;
    bool readListBack(QByteArray &list, qint64 measure) override;

    bool m_boxStarted = true;   // false while the box stays in its load menu
};
