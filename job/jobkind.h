#pragma once

#include "filekind.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The six jobs: the keyword that names each and the family whose link runs
// it. Which request signal starts each is the runner's business.
class jobKind
{
public:
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

    struct Row {
        Kind kind;
        const char *keyword;
        bool hd;                        // the HD link runs it, else the SD link
        bool sendsFile;                 // else it writes its file: a list download
    };

    // The row of a kind, or nullptr for None and for numbers that name no job.
    static const Row *find(int kind);
    // The kind a keyword names, or None. settings.ini keeps the exact
    // keyword; a person typing one may use any case.
    static Kind fromKeyword(const QString &keyword, Qt::CaseSensitivity cs = Qt::CaseSensitive);
    // The keyword a misspelt word most likely meant; empty when none is near.
    static QString nearest(const QString &word);
    // Every job's keyword, in order.
    static QStringList keywords();
    static bool isHd(int kind);
    // A channel list is the job's file: sent, or written by a download.
    static bool isList(int kind);
    // The job that a file of this kind is handed to: an update file is
    // loaded, a list is sent. The families number their file kinds apart.
    static Kind forFile(hdFile::Kind file);
    static Kind forFile(sdFile::Kind file);
};
