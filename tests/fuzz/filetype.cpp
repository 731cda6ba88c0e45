// Fuzzes the file classification of both families. The input is a four-byte
// head and a file image, which is padded with zeros to the size that the head
// asks for, so that the size windows of the large SD images are reached
// without huge inputs. Head byte 0 below 0x80: bytes 1..3 give the size
// (little endian); from 0x80 on: byte 1 picks one of the size limits of the
// rules and byte 2 a size from two below to two above it. The kinds are
// re-derived here from the signature and size rules and compared with the
// links.

#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// Largest file the input may ask for: just beyond the largest SD image.
constexpr uint32_t maxFileSize = 470000;
// The sizes where a rule changes its mind.
constexpr uint32_t limits[] = {20, 92161, 102400, 153599, 204800, 358401, 409600, 460799};

struct rig
{
    QCoreApplication *app = nullptr;
    QTemporaryDir *dir = nullptr;
    QString path;
    QByteArray localPath;
    serialComVesk *hd = nullptr;
    serialComKarn *sd = nullptr;
};

rig *g = nullptr;

bool sigIs(const unsigned char *sig, const char (&want)[5])
{
    return std::memcmp(sig, want, 4) == 0;
}

int hdKind(const unsigned char *sig, bool haveSig, uint64_t size)
{
    if (!haveSig)
        return 0;
    if (sigIs(sig, "\x00\x00\x40\x23") || sigIs(sig, "\x00\x00\x40\x43"))
        return 1;
    if (sigIs(sig, "\x00\x00\x30\x40") && size <= 409600)
        return 2;
    return 0;
}

int sdKind(const unsigned char *sig, bool haveSig, uint64_t size)
{
    if (!haveSig)
        return 0;
    if (sigIs(sig, "\x00\x00\x0a\x07") && size < 204800)
        return 1;
    if (sigIs(sig, "\x00\x00\x09\x07") && size <= 102400)
        return 2;
    if (sigIs(sig, "\x00\x00\x0d\x07") && size >= 92161 && size <= 153599)
        return 3;
    if ((sigIs(sig, "\x00\x20\x06\x00") || sigIs(sig, "\x00\x50\x1c\x00")) && size >= 358401
        && size <= 460799)
        return 4;
    return 0;
}

void fail(const char *what, int got, int want, uint64_t size)
{
    std::fprintf(stderr, "filetype: %s kind %d, expected %d (size %llu)\n", what, got, want,
                 static_cast<unsigned long long>(size));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    g = new rig;
    g->app = new QCoreApplication(*argc, *argv);
    g->dir = new QTemporaryDir;
    if (!g->dir->isValid())
        std::abort();
    // A name with a blank and a non-ASCII letter, as users' files have.
    g->path = g->dir->filePath(QStringLiteral("Liste ä 1.bin"));
    g->localPath = QFile::encodeName(g->path);
    g->hd = new serialComVesk;
    g->sd = new serialComKarn;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t h[4] = {0, 0, 0, 0};
    const size_t head = size < 4 ? size : 4;
    std::memcpy(h, data, head);
    uint32_t asked;
    if (h[0] & 0x80) {
        asked = limits[h[1] % (sizeof limits / sizeof limits[0])] + h[2] % 5 - 2;
    } else {
        asked = (uint32_t(h[1]) | uint32_t(h[2]) << 8 | uint32_t(h[3]) << 16) % (maxFileSize + 1);
    }
    const uint8_t *body = data + head;
    const size_t bodySize = size - head;
    const uint64_t fileSize = bodySize > asked ? bodySize : asked;

    std::FILE *f = std::fopen(g->localPath.constData(), "wb");
    if (!f)
        std::abort();
    if (bodySize && std::fwrite(body, 1, bodySize, f) != bodySize)
        std::abort();
    std::fclose(f);
    if (fileSize > bodySize && ::truncate(g->localPath.constData(), off_t(fileSize)) != 0)
        std::abort();

    unsigned char sig[4] = {0, 0, 0, 0};
    const bool haveSig = fileSize >= 20;
    for (size_t i = 0; i < 4; ++i)
        sig[i] = 16 + i < bodySize ? body[16 + i] : 0;

    const int hd = g->hd->checkFiletype(g->path);
    const int sd = g->sd->checkFiletype(g->path);
    if (hd < 0 || hd > 2)
        fail("HD out of range:", hd, hdKind(sig, haveSig, fileSize), fileSize);
    if (sd < 0 || sd > 4)
        fail("SD out of range:", sd, sdKind(sig, haveSig, fileSize), fileSize);
    if (hd != hdKind(sig, haveSig, fileSize))
        fail("HD", hd, hdKind(sig, haveSig, fileSize), fileSize);
    if (sd != sdKind(sig, haveSig, fileSize))
        fail("SD", sd, sdKind(sig, haveSig, fileSize), fileSize);
    return 0;
}
