#pragma once

#include "ptyline.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A simulated box of the SD family on the far end of a pseudo-terminal. It
// answers the boot loader's commands ("100", "500", "300"), takes files in
// binary mode and sends its channel list, with faults on demand. Everything it
// receives is recorded for comparison.
class sdBox
{
public:
    // One piece of a reply: written after waiting `delayMs`.
    struct Piece
    {
        int delayMs;
        QByteArray bytes;
    };

    struct Config
    {
        bool silent = false;            // never answers
        QByteArray sucLine = "SUC (StartUpControl)1.7"; // empty: no version line
        QByteArray menuLine = "Upload Ch_Data";         // the load menu's line
        QSet<int> ignore;               // command numbers (from 1) left unanswered
        bool refuse = false;            // "ready" without "Write"
        bool finishSilent = false;      // no verdict after a file
        bool writeReadyOneLine = false; // "Write" and "ready" in one line
        bool startFails = false;        // "300" brings the menu back, not the box
        qint64 cutAfter = -1;           // cuts the line after this many received bytes
        qint64 cutListAfter = -1;       // cuts the line after this many list bytes
        qint64 stopReadingAfter = -1;   // stops reading after this many received bytes; the line stays up (in a command, it takes no more at once)
        bool lineRate = false;          // reads and sends no faster than a real line
        int garbage = 0;                // babble of this length (no line end) before each reply
        int replyDelayMs = 0;           // before each reply
        int fileQuietMs = 50;           // a file ends when the line is quiet this long
        // Where given, file k ends once it has its size; a quiet line then
        // ends only a file cut short, after cutFileQuietMs. A loaded machine
        // or a relay may pause far longer than fileQuietMs mid-file.
        QList<qint64> fileSizes;
        int cutFileQuietMs = 1000;
        int readyDelayMs = 20;          // between "Write" and "ready"
        QByteArray ready = "ready";     // the word that ends the box's verdict
        // Lines as a USB adapter or a relay hands them over: every line the
        // dialogue looks at (the version line, the markers, the verdict)
        // in two pieces, the first `splitAt` bytes of it (counted from its
        // end when negative; 0: its first half), the rest `splitPauseMs` later.
        bool splitMarkers = false;
        int splitAt = 0;
        int splitPauseMs = 60;
        QByteArray splitOnly;           // only lines that hold this text are split; empty: every one
        int nuls = 0;                   // NUL bytes before each reply, as a box prints them at power-up
        bool splitListMarkers = false;  // "Start Upload" and "End Upload" in two pieces
        int startUploadDelayMs = 0;     // between "Get EEprom Header" and "Start Upload"
        QByteArray markerLineEnd;       // after "Start Upload", as a console ends its line
        int afterMarkerPauseMs = 0;     // pause after the marker's line, before the dash run
        int dashes = 40;
        QByteArray list;                // empty: a plausible list of defaultListSize
        bool emptyList = false;         // sends no list at all between the markers
        bool listFlood = false;         // the list never ends
        bool omitEndUpload = false;     // the list stops without its end marker
        int cutInRead = 1;              // cutListAfter applies to this send of the list (1: the first)
        QList<int> noisyReads;          // sends of the list (1: the first) with a byte changed, as line noise does
        QHash<QByteArray, QList<Piece>> replies; // own reply to a command, instead of the usual one
        bool keepList = false;          // a loaded file becomes the list it sends
        qint64 storeFlipAt = -1;        // the kept list's byte at this offset is stored changed
        int storeLengthChange = 0;      // the kept list is stored this many bytes shorter (<0) or longer
        int consoleDelayMs = 0;         // after its start ("300") commands are ignored this long
        bool consoleDead = false;       // after its start it never answers again
        QByteArray startupText;         // what it prints when it powers up (swap())
    };

    // What crossed the line, in order, with microseconds since start().
    struct Event
    {
        qint64 us;
        bool fromBox;
        QByteArray bytes;
    };

    static constexpr int defaultListSize = 185026;
    static QByteArray plausibleList(int size = defaultListSize);
    // A kept list stored `change` bytes shorter or longer, as a faulty box
    // would store it.
    static QByteArray resized(const QByteArray &list, int change);
    // An update image of the given signature (bytes 16 to 19, in hex) and size.
    static QByteArray sampleImage(const char *signatureHex, int size);
    // Writes sample files into `folder`: a one-file update (single.app), a
    // two-file update (first.app, second.app) and a list (sample.lst).
    // False, with the reason in `error`, when one cannot be written.
    static bool makeSamples(const QString &folder, QString *error);

    sdBox();
    explicit sdBox(const Config &config);
    ~sdBox();
    sdBox(const sdBox &) = delete;
    sdBox &operator=(const sdBox &) = delete;

    // Opens the line and serves it on a thread of its own.
    bool start();
    void stop();
    // Another box on the same line, as when a technician moves the cable:
    // for `gapMs` nobody reads or answers, what was sent meanwhile is lost,
    // then the new box powers up, prints its startupText and serves. Its
    // records start empty.
    void swap(const Config &next, int gapMs);
    QString devicePath() const { return m_line.devicePath(); }
    // The line settings when the first byte arrived (see ptyLine::settings).
    QString lineSettings() const;

    // What arrived so far.
    QByteArray received() const;
    QList<QByteArray> commands() const;
    QList<QByteArray> files() const;
    // Milliseconds since start() at which each command byte (CR LF included) arrived.
    QList<qint64> commandByteTimes() const;
    QList<Event> timeline() const;

private:
    int m_listReads = 0;   // how often the list was sent
    enum class Mode { Running, Menu, Binary };

    void serve();
    void onCommand(const QByteArray &command);
    void endFile();
    qint64 expectedFileSize() const;
    int fileQuiet() const;
    void reply(const QList<Piece> &pieces);
    QList<Piece> line(const QByteArray &text, int delayMs = 0) const;
    void say(const QByteArray &bytes, int delayMs = 0);
    void sendList();
    // The phases of sendList().
    QByteArray listHead();
    void floodList(const QByteArray &list);
    bool sendListBody(const QByteArray &list, qint64 sent, qint64 cutAfter);
    void sendListEnd();
    // A list goes out in writes of this size.
    static constexpr int listPiece = 4096;
    bool sleepMs(int ms);
    bool booting() const;
    qint64 nowMs() const;
    qint64 nowUs() const;

    Config m_config;
    ptyLine m_line;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_cut = false;
    bool m_deaf = false;   // stopped reading
    Mode m_mode = Mode::Running;
    QByteArray m_pending;
    QByteArray m_file;
    int m_commandCount = 0;
    qint64 m_startMs = 0;
    qint64 m_bootedAt = -1;     // when "300" last started the box, ms; -1: not since

    mutable std::mutex m_mutex;
    QByteArray m_received;
    QString m_settings;
    QList<QByteArray> m_commands;
    QList<QByteArray> m_files;
    QList<qint64> m_byteTimes;
    QList<Event> m_timeline;
    qint64 m_startUs = 0;
};
