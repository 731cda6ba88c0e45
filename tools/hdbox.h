#pragma once

#include "ptyline.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

// A simulated box of the HD family on a pseudo-terminal. It answers the
// console and loader dialogue as the real box does, can be told to misbehave,
// and records everything it receives so that callers can compare bytes.
class hdBox
{
public:
    struct Behaviour
    {
        bool silent = false;            // reads everything, answers nothing
        int replyDelayMs = 0;           // before every reply
        QByteArray garbage;             // written before every reply
        int longLine = 0;               // bytes without line end before every reply
        bool echo = false;              // echoes each command line first
        bool lineRate = false;          // reads and sends no faster than a real line
        // Replies as a USB adapter or a relay hands them over: in two writes,
        // the first `splitAt` bytes of the reply's text (counted from its end
        // when negative; the noise goes before them), the rest `replySplitPauseMs`
        // later. 0: whole.
        int splitAt = 0;
        int replySplitPauseMs = 60;
        QByteArray splitOnly;           // only replies that hold this text are split; empty: every one
        QByteArray leftover;            // on the line before anything, as an interrupted job leaves it

        QByteArray restartReply = "Restarting ...\r\n";
        int unknownCom = 0;             // first restarts answered "unknown com"
        int ignoreLoad = 0;             // "l" commands ignored before "load App"
        bool binaryMode = true;         // announces "binary mode"
        qint64 fileSize = -1;           // file length; -1: ends after a quiet gap
        int fileGapMs = 300;
        qint64 cutAfter = -1;           // cuts the line after this many file bytes
        qint64 stopReadingAfter = -1;   // stops reading after this many file bytes; the line stays up
        bool refuse = false;            // answers the file with "wrong"
        bool flashReply = true;
        int flashDelayMs = 0;
        bool finReply = true;
        int finDelayMs = 0;
        int comPrompts = 0;             // first starts answered "Com ->"
        QByteArray startReply = "Deflat OK\r\n";

        QByteArray list;                // the list the box prints on "chlist"
        QByteArray beforeList = "chlist\r\nsending list\r\n";
        QByteArray afterList;           // after "END" (a console's line end and prompt)
        int afterListDelayMs = 0;       // 0: in the same write as "END"
        bool listMarkers = true;        // false: the list without START/END
        QList<int> listSplits;          // positions in the printed text where writes pause
        int splitPauseMs = 30;
        QList<int> splitPausesMs;       // the pause after each split in turn, where given
        qint64 flood = 0;               // bytes printed after "START" instead of the list
        qint64 cutInList = -1;          // cuts the line after this many printed bytes
        int cutInRead = 1;              // in this print of the list (1: the first)
        QList<int> noisyReads;          // prints of the list (1: the first) with a byte changed, as line noise does
        int chatterMs = 0;              // after the list, prints `chatter` this often, as consoles do
        QByteArray chatter = "[tuner] locked 11362 MHz\r\n";

        QHash<QByteArray, QByteArray> replies;   // service answers by command
        QByteArray cutOnCommand;        // the line is cut when this command comes, before any answer

        bool keepList = false;          // a loaded file becomes the list it prints
        qint64 storeFlipAt = -1;        // the kept list's byte at this offset is stored changed
        int storeLengthChange = 0;      // the kept list is stored this many bytes shorter (<0) or longer
        int consoleDelayMs = 0;         // after its start the console ignores commands this long
        bool consoleDead = false;       // after its start the console never answers again

        Behaviour();
    };

    struct Event
    {
        qint64 ns;        // on the box's monotonic clock
        bool fromBox;
        QByteArray bytes;
    };

    hdBox();
    explicit hdBox(const Behaviour &behaviour);
    ~hdBox();
    hdBox(const hdBox &) = delete;
    hdBox &operator=(const hdBox &) = delete;

    // Opens the line and serves it in a thread of its own.
    bool start();
    void stop();
    // Another box on the same line, as when a technician moves the cable:
    // for `gapMs` nobody reads or answers, what was sent meanwhile is lost,
    // then the new box serves. Its records start empty.
    void swap(const Behaviour &next, int gapMs);
    QString devicePath() const { return m_line.devicePath(); }
    // The line settings when the first byte arrived (see ptyLine::settings).
    QString lineSettings() const;

    QByteArray received() const;      // every byte, in order
    QByteArray file() const;          // the bytes taken in binary mode
    QList<QByteArray> commands() const;
    std::vector<Event> events() const;
    void clear();

    // A plausible HD channel list: bytes 16..19 are 00 00 30 40.
    static QByteArray sampleList(int channels = 60);
    // An HD update file of `size` bytes: its signature, every position told apart.
    static QByteArray sampleUpdate(int size);

private:
    int m_listReads = 0;   // how often the list was printed
    enum Mode { Console, Binary };

    void serve();
    void take(const QByteArray &bytes);
    void command(const QByteArray &line);
    void endOfFile();
    void reply(const QByteArray &text);
    void print(const QByteArray &noise, const QByteArray &text);
    bool send(const QByteArray &bytes);
    void printList();
    void cutLine();
    void pause(int ms);
    bool booting() const;
    void keepLoaded();

    Behaviour m_b;
    ptyLine m_line;
    std::thread m_thread;
    std::atomic<bool> m_run{false};
    std::atomic<bool> m_cut{false};
    bool m_deaf = false;            // stopped reading
    qint64 m_chatterAt = -1;        // ms of the next status line; -1: none

    Mode m_mode = Console;
    QByteArray m_lineBuf;
    qint64 m_lastFileByte = 0;
    qint64 m_printed = 0;
    qint64 m_loadFrom = 0;        // where the current load began in m_file
    qint64 m_startedAt = -1;      // when the box was last started, ms; -1: not since

    mutable std::mutex m_lock;
    QByteArray m_received;
    QString m_settings;
    QByteArray m_file;
    QList<QByteArray> m_commands;
    std::vector<Event> m_events;
};
