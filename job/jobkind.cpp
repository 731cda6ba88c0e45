#include "jobkind.h"

#include <QList>

#include <algorithm>

namespace {

const jobKind::Row kindRows[] = {
    {.kind = jobKind::UpdateHD, .keyword = "UpdateHD", .hd = true, .sendsFile = true},
    {.kind = jobKind::SendListHD, .keyword = "SendListHD", .hd = true, .sendsFile = true},
    {.kind = jobKind::GetListHD, .keyword = "GetListHD", .hd = true, .sendsFile = false},
    {.kind = jobKind::UpdateSD, .keyword = "UpdateSD", .hd = false, .sendsFile = true},
    {.kind = jobKind::SendListSD, .keyword = "SendListSD", .hd = false, .sendsFile = true},
    {.kind = jobKind::GetListSD, .keyword = "GetListSD", .hd = false, .sendsFile = false},
};

const struct {
    hdFile::Kind file;
    jobKind::Kind job;
} hdFileJobs[] = {
    {.file = hdFile::Update, .job = jobKind::UpdateHD},
    {.file = hdFile::List, .job = jobKind::SendListHD},
};

const struct {
    sdFile::Kind file;
    jobKind::Kind job;
} sdFileJobs[] = {
    {.file = sdFile::List, .job = jobKind::SendListSD},
    {.file = sdFile::ImageSmall, .job = jobKind::UpdateSD},
    {.file = sdFile::ImageMedium, .job = jobKind::UpdateSD},
    {.file = sdFile::ImageLarge, .job = jobKind::UpdateSD},
};

} // namespace

const jobKind::Row *jobKind::find(int kind)
{
    for (const Row &row : kindRows)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

jobKind::Kind jobKind::fromKeyword(const QString &keyword, Qt::CaseSensitivity cs)
{
    for (const Row &row : kindRows)
        if (keyword.compare(QLatin1String(row.keyword), cs) == 0)
            return row.kind;
    return None;
}

namespace {

// How many letters must be put in, left out or changed to make one word the
// other, case aside.
int distance(const QString &a, const QString &b)
{
    QList<int> row;
    for (int j = 0; j <= b.size(); ++j)
        row << j;
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            const bool same = a[i - 1].toLower() == b[j - 1].toLower();
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Further off, a word is more likely meant for something else than a slip.
constexpr int farthestSlip = 3;

} // namespace

QString jobKind::nearest(const QString &word)
{
    QString best;
    int bestDistance = farthestSlip + 1;
    for (const Row &row : kindRows) {
        const int d = distance(word, QLatin1String(row.keyword));
        if (d < bestDistance) {
            bestDistance = d;
            best = QLatin1String(row.keyword);
        }
    }
    return best;
}

QStringList jobKind::keywords()
{
    QStringList words;
    for (const Row &row : kindRows)
        words << QLatin1String(row.keyword);
    return words;
}

bool jobKind::isHd(int kind)
{
    const Row *row = find(kind);
    return row && row->hd;
}

bool jobKind::isList(int kind)
{
    return kind == SendListHD || kind == GetListHD || kind == SendListSD || kind == GetListSD;
}

jobKind::Kind jobKind::forFile(hdFile::Kind file)
{
    for (const auto &row : hdFileJobs)
        if (row.file == file)
            return row.job;
    return None;
}

jobKind::Kind jobKind::forFile(sdFile::Kind file)
{
    for (const auto &row : sdFileJobs)
        if (row.file == file)
            return row.job;
    return None;
}
