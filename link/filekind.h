#pragma once

#include <QString>

// What a file is to each family, decided by the four bytes at offset 16 and
// the file's size. The values are what checkFiletype() returns; the HD and
// SD numbers mean different things (HD 2 and SD 1 are both lists).
//
// classify() only reads the file: it logs nothing and counts nothing, so
// the window and the command line may ask it at any time. For a file that
// exists but cannot be read, or whose signature and size fit no kind,
// `problem` receives the log line that tells why (it is left empty for a
// missing file, which is the caller's to report, and for a known kind).

struct hdFile {
    // The largest channel list the box takes in an upload.
    static constexpr qint64 maxListSize = 409600;
    enum Kind : unsigned char {
        NotHd = 0,
        Update = 1,
        List = 2,
    };
    static Kind classify(const QString &path, QString *problem = nullptr);
    // The kind in words (English; the job layer translates the known ones).
    static QString name(Kind kind);
};

struct sdFile {
    enum Kind : unsigned char {
        NotSd = 0,
        List = 1,
        ImageSmall = 2,
        ImageMedium = 3,
        ImageLarge = 4,
    };
    static bool isImage(Kind kind) { return kind >= ImageSmall && kind <= ImageLarge; }
    // `size` receives the file's size when the kind is known (an update's
    // progress is measured against the sum of its files).
    static Kind classify(const QString &path, QString *problem = nullptr, qint64 *size = nullptr);
    static QString name(Kind kind);
};

// Both families' view of one file, from one read of it.
struct fileKinds {
    hdFile::Kind hd = hdFile::NotHd;
    sdFile::Kind sd = sdFile::NotSd;
    qint64 size = 0;
    QString hdProblem;   // as classify() gives them
    QString sdProblem;
    static fileKinds examine(const QString &path);
    // What the file is in words, whichever family knows it (English; the job
    // layer translates): a file of the other family is named as such.
    static QString name(const QString &path);
};
