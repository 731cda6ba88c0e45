#pragma once

#include <QString>

// What a file is to each family, decided by the four bytes at offset 16 and
// the file's size. The values are what checkFiletype() returns; the HD and
// SD numbers mean different things (HD 2 and SD 1 are both lists).

struct hdFile {
    enum Kind : unsigned char {
        NotHd = 0,
        Update = 1,
        List = 2,
    };
    // The kind of a file, without a link; `problem` gets the log line for a
    // file that cannot be read or is of no known kind, else stays empty.
    static Kind classify(const QString &path, QString *problem = nullptr);
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
    static Kind classify(const QString &path, QString *problem = nullptr);
};
