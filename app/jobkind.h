#pragma once

#include <QString>
#include <QtGlobal>

class jobRunner;

// The six jobs, numbered 1..6 as the window and settings.ini keep them: the
// keyword that names each, the family whose link runs it and the request
// signal that starts it.
class jobKind
{
public:
    struct Row {
        const char *keyword;
        bool hd;                        // the HD link runs it, else the SD link
        bool sendsFile;                 // else it writes its file: a list download
        void (jobRunner::*request)();
    };

    // Numbered as settings.ini keeps them; the names are their keywords.
    enum Kind : quint8 {
        None = 0,
        UpdateHD = 1,
        SendListHD = 2,
        GetListHD = 3,
        UpdateSD = 4,
        SendListSD = 5,
        GetListSD = 6,
    };
    static constexpr int count = GetListSD;

    // The row of kind 1..count, or nullptr.
    static const Row *find(int kind);
    // The kind a keyword names (exact case), or 0.
    static quint8 fromKeyword(const QString &keyword);
    static bool isHd(int kind);
};
