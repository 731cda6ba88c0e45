#include "jobkind.h"

namespace {

const jobKind::Row rows[] = {
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
    for (const Row &row : rows)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

jobKind::Kind jobKind::fromKeyword(const QString &keyword)
{
    for (const Row &row : rows)
        if (keyword == QLatin1String(row.keyword))
            return row.kind;
    return None;
}

QStringList jobKind::keywords()
{
    QStringList words;
    for (const Row &row : rows)
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
