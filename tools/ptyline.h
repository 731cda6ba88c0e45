#pragma once

#include <QByteArray>
#include <QString>

// The far end of a pseudo-terminal pair: what a simulated box holds. The
// slave side is the device path that the program opens as its serial port.
class ptyLine
{
public:
    ptyLine();
    ~ptyLine();
    ptyLine(const ptyLine &) = delete;
    ptyLine &operator=(const ptyLine &) = delete;

    bool open();
    QString devicePath() const { return m_path; }
    int masterFd() const { return m_master; }
    bool isOpen() const { return m_master >= 0; }

    // Waits up to timeoutMs for the first byte, then returns what is there.
    // An empty result means silence, or a line that is gone.
    QByteArray read(int timeoutMs, int maxBytes = 4096);
    // Writes everything; false when the line is gone.
    bool write(const QByteArray &bytes);
    // Cuts the line: the program's next read or write on it fails.
    void cut();
    // The line settings as the program set them on its end, e.g.
    // "115200 8N1 none" (speed, data bits, parity, stop bits, flow control).
    // A pseudo-terminal's two ends share them; asked while the program holds
    // the port, since a port being closed may restore the old ones.
    QString settings() const;

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
