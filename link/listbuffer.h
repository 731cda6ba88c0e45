#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QFileDevice;
class serialLine;

// A channel list as it arrives from the box. Kept in blocks that are each
// reserved once and filled straight from the port, so that a long list never
// makes the buffer move (a copy of the whole list would double the memory);
// written to its file only when complete.
class listBuffer
{
public:
    qint64 size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // Nothing but line ends: what a console prints for a list it does not have.
    bool isBlank() const;
    // Takes what the line has waiting, at most `max` bytes; returns how many.
    qint64 take(serialLine &line, qint64 max);
    void append(const QByteArray &bytes);
    // The last `n` bytes (all of them when fewer).
    QByteArray tail(qint64 n) const;
    void truncate(qint64 size);
    // Replaces the file only once every byte is written: atomically where the
    // folder allows a file aside, otherwise in place (a folder the user may
    // not write can still hold a list file the user may); never over a
    // FIFO, a device or a socket. On failure the text gives the system's
    // reason.
    bool save(const QString &path, QString *error) const;
    // The system's reason in an error of save(), without its fixed words.
    static QString reason(const QString &error);

private:
    bool writeAll(QFileDevice &file, QString *error) const;
    static QString notAFile(const QString &path);
    bool saveInPlace(const QString &path, QString *error) const;
    static constexpr int blockSize = 64 * 1024;
    QByteArray &room();

    QList<QByteArray> m_blocks;
    qint64 m_size = 0;
};
