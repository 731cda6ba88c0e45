#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTextStream>

// Writes the time-stamped run log, "velmora.log" in the working directory
// unless told another path.
// Lives in a thread of its own; every line arrives through a queued signal.
class logfile : public QObject
{
    Q_OBJECT
public:
    explicit logfile(QObject *parent = nullptr);
    ~logfile() override;
    // Before the first line: the file to write instead of "velmora.log".
    void setPath(const QString &path);

public slots:
    void write(const QString &text);
    void writeLine(const QString &text);
    bool open();
    void close();

private:
    QFile m_file;
    QTextStream m_stream;
};
