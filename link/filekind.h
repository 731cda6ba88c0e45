#pragma once

// What a file is to each family, decided by the four bytes at offset 16 and
// the file's size. The values are what checkFiletype() returns; the HD and
// SD numbers mean different things (HD 2 and SD 1 are both lists).

struct hdFile {
    enum Kind : unsigned char {
        NotHd = 0,
        Update = 1,
        List = 2,
    };
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
};
