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

    // A real line carries 11,520 bytes/s (115200 baud, ten bits a byte),
    // and a USB adapter hands them over in pieces of up to 62 bytes.
    static constexpr int lineRate = 11520;
    static constexpr int usbPiece = 62;
    enum Direction { In, Out };

    bool open();
    // From now on the box reads and sends no faster than the line.
    void setLineRate(bool on) { m_paced = on; }
    bool paced() const { return m_paced; }
    // Waits until the line could carry more in that direction; returns how
    // many of `want` bytes may pass now (all of them on an unpaced line).
    int room(Direction d, int want);
    // Books `n` bytes that passed.
    void carried(Direction d, qint64 n);
    // Waits (up to timeoutMs) until the program has read all that was sent
    // to it, so that cutting the line then loses nothing the program would
    // have read on a real line.
    void waitRead(int timeoutMs);
    QString devicePath() const { return m_path; }
    int masterFd() const { return m_master; }
    bool isOpen() const { return m_master >= 0; }

    // Waits up to timeoutMs for the first byte, then returns what is there.
    // An empty result means silence, or a line that is gone.
    QByteArray read(int timeoutMs, int maxBytes = 4096);
    // Writes everything; false when the line is gone.
    bool write(const QByteArray &bytes);
    // Cuts the line as an unplugged USB adapter does: closing the master
    // hangs the program's end up and removes its device, so its next read
    // finds the end of the line and every request fails with an I/O error.
    // The slave end stays held until this line is destroyed: the number of
    // a freed pseudo-terminal goes to the next one opened, and a program
    // that opened the cut line's name again would reach another test's box.
    void cut();
    // The box's end takes no more bytes, its line still up, as a stuck
    // UART's: the program's writes stay in its own buffer.
    void stopTaking();
    // The line settings as the program set them on its end, e.g.
    // "115200 8N1 none" (speed, data bits, parity, stop bits, flow control).
    // A pseudo-terminal's two ends share them; asked while the program holds
    // the port, since a port being closed may restore the old ones.
    QString settings() const;

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    bool m_paced = false;
    qint64 m_freeAt[2] = {0, 0};   // ns on the monotonic clock
};
