// Fuzzes the file classification of both families against the signature
// and size rules, restated here: the links' checkFiletype and the pure
// classify() under it, which names the problem of every file it rejects. Input: a four-byte head, then the file,
// padded with zeros to the size the head asks for, so that the large SD
// images are reached without large inputs. Head byte 0 below 0x80: bytes
// 1..3 give the size; from 0x80 on: byte 1 picks a size limit of the rules
// and byte 2 a size up to two below or above it.
#include "filekind.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const uint32_t limits[] = {20, 92161, 102400, 153599, 204800, 358401, 409600, 460799};
QTemporaryDir *g_dir;
QString g_path;
serialComVesk *g_hd;
serialComKarn *g_sd;
QStringList g_hdLog, g_sdLog;

// What checkFiletype logs: the problem that classify() names, if any.
QStringList logOf(const QString &problem)
{
    return problem.isEmpty() ? QStringList() : QStringList{problem};
}

int expected(bool hd, const QByteArray &sig, uint64_t size)
{
    const QByteArray hex = size >= 20 ? sig.toHex() : QByteArray();
    if (hd)
        return hex == "00004023" || hex == "00004043" ? 1 : hex == "00003040" && size <= 409600 ? 2 : 0;
    if (hex == "00000a07")
        return size < 204800 ? 1 : 0;
    if (hex == "00000907")
        return size <= 102400 ? 2 : 0;
    if (hex == "00000d07")
        return size >= 92161 && size <= 153599 ? 3 : 0;
    return (hex == "00200600" || hex == "00501c00") && size >= 358401 && size <= 460799 ? 4 : 0;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    g_dir = new QTemporaryDir;
    // A name with a blank and a non-ASCII letter, as users' files have.
    g_path = g_dir->filePath(QStringLiteral("Liste ä 1.bin"));
    g_hd = new serialComVesk;
    g_sd = new serialComKarn;
    QObject::connect(g_hd, &serialComVesk::writeLog, [](const QString &line) { g_hdLog << line; });
    QObject::connect(g_sd, &serialComKarn::writeLog, [](const QString &line) { g_sdLog << line; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t h[4] = {0, 0, 0, 0};
    const size_t head = size < 4 ? size : 4;
    std::memcpy(h, data, head);
    const uint32_t asked = h[0] & 0x80 ? limits[h[1] % 8] + h[2] % 5 - 2 : (h[1] | h[2] << 8 | h[3] << 16) % 470001;
    const QByteArray body(reinterpret_cast<const char *>(data + head), int(size - head));
    QFile f(g_path);
    if (!f.open(QIODevice::WriteOnly) || f.write(body) != body.size() || !f.resize(qMax<qint64>(asked, body.size())))
        std::abort();
    f.close();
    const uint64_t fileSize = uint64_t(f.size());
    const QByteArray sig = (body + QByteArray(20, '\0')).mid(16, 4);
    g_hdLog.clear();
    g_sdLog.clear();
    const int hd = g_hd->checkFiletype(g_path), sd = g_sd->checkFiletype(g_path);
    QString hdProblem, sdProblem;
    qint64 sdSize = -1;
    const int hdPure = hdFile::classify(g_path, &hdProblem), sdPure = sdFile::classify(g_path, &sdProblem, &sdSize);
    if (hdPure != hd || sdPure != sd || hdProblem.isEmpty() != (hd != 0) || sdProblem.isEmpty() != (sd != 0)
        || (sd != 0 && uint64_t(sdSize) != fileSize) || g_hdLog != logOf(hdProblem) || g_sdLog != logOf(sdProblem)) {
        std::fprintf(stderr, "filetype: classify() HD %d (%s), SD %d (%s, %lld bytes) beside checkFiletype\n", hdPure,
                     qPrintable(hdProblem), sdPure, qPrintable(sdProblem), static_cast<long long>(sdSize));
        std::abort();
    }
    if (hd != expected(true, sig, fileSize) || sd != expected(false, sig, fileSize)) {
        std::fprintf(stderr, "filetype: HD %d, SD %d for %s of %llu bytes\n", hd, sd, sig.toHex().constData(),
                     static_cast<unsigned long long>(fileSize));
        std::abort();
    }
    return 0;
}
