#include "jobkind.h"

#include "jobrunner.h"

#include <iterator>

namespace {

const jobKind::Row rows[] = {
    {.keyword = "UpdateHD", .hd = true, .sendsFile = true, .request = &jobRunner::sigUpdateFirmwareHD},
    {.keyword = "SendListHD", .hd = true, .sendsFile = true, .request = &jobRunner::sigUploadCHListHD},
    {.keyword = "GetListHD", .hd = true, .sendsFile = false, .request = &jobRunner::sigDownloadCHListHD},
    {.keyword = "UpdateSD", .hd = false, .sendsFile = true, .request = &jobRunner::sigUpdateFirmwareSD},
    {.keyword = "SendListSD", .hd = false, .sendsFile = true, .request = &jobRunner::sigUploadCHListSD},
    {.keyword = "GetListSD", .hd = false, .sendsFile = false, .request = &jobRunner::sigDownloadCHListSD},
};
static_assert(std::size(rows) == jobKind::count, "one row per job kind");

} // namespace

const jobKind::Row *jobKind::find(int kind)
{
    return kind >= 1 && kind <= count ? &rows[kind - 1] : nullptr;
}

quint8 jobKind::fromKeyword(const QString &keyword)
{
    for (int i = 0; i < count; ++i)
        if (keyword == QLatin1String(rows[i].keyword))
            return quint8(i + 1);
    return 0;
}

bool jobKind::isHd(int kind)
{
    const Row *row = find(kind);
    return row && row->hd;
}
