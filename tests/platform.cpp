// The platform layer on its own, without Qt, so that the same program builds
// for Windows (MinGW) as for POSIX: the port paths of both systems, whether a
// port is there, and the file calls that the log and an in-place list save
// stand on. Each table row names its fields; a failing row prints its name
// and the program fails.
#include "platformdevice.h"
#include "platformfile.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

#ifdef _WIN32
constexpr bool windows = true;
#else
constexpr bool windows = false;
#endif

int failures = 0;

void check(bool ok, const char *what, const std::string &row)
{
    if (ok)
        return;
    ++failures;
    std::fprintf(stderr, "FAIL %s: %s\n", row.c_str(), what);
}

std::string contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void put(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The file with these bytes, or no file for nullptr.
void lay(const std::string &path, const char *bytes)
{
    std::remove(path.c_str());
    if (bytes)
        put(path, bytes);
}

struct PortRow {
    const char *name;
    const char *posix;     // the path on POSIX
    const char *windows;   // the path on Windows
};

// Bare names live under /dev on POSIX; Windows opens COM1..COM9 by name and
// higher ports only through the device namespace, never under /dev.
void portPaths()
{
    const PortRow rows[] = {
        {.name = "ttyUSB0", .posix = "/dev/ttyUSB0", .windows = "ttyUSB0"},
        {.name = "/dev/ttyS1", .posix = "/dev/ttyS1", .windows = "/dev/ttyS1"},
        {.name = "COM3", .posix = "/dev/COM3", .windows = "COM3"},
        {.name = "COM9", .posix = "/dev/COM9", .windows = "COM9"},
        {.name = "COM10", .posix = "/dev/COM10", .windows = "\\\\.\\COM10"},
        {.name = "com256", .posix = "/dev/com256", .windows = "\\\\.\\com256"},
        {.name = "\\\\.\\COM12", .posix = "/dev/\\\\.\\COM12", .windows = "\\\\.\\COM12"},
        {.name = "COM1X", .posix = "/dev/COM1X", .windows = "COM1X"},
        {.name = "COM", .posix = "/dev/COM", .windows = "COM"},
    };
    for (const PortRow &r : rows)
        check(platformDevice::portPath(r.name) == (windows ? r.windows : r.posix), "port path", r.name);
}

struct PresenceRow {
    const char *path;
    bool there;
};

// The window marks a named port that is not there; a folder counts as there.
void presence()
{
    put("platform-present.out", "x");
    const PresenceRow rows[] = {
        {.path = "platform-present.out", .there = true},
        {.path = ".", .there = true},
        {.path = "platform-absent.out", .there = false},
        {.path = "no-such-folder/platform-present.out", .there = false},
    };
    for (const PresenceRow &r : rows)
        check(platformDevice::exists(r.path) == r.there, "there", r.path);
    std::remove("platform-present.out");
}

using Act = std::function<bool(platformFile &)>;
struct FileRow {
    const char *name;
    const char *before;             // the file's bytes first; nullptr: no file
    platformFile::Opening opening;
    bool opens;
    Act act;                        // what is done with the open file; false: a call failed
    const char *after;              // the file's bytes at the end
};

bool append(platformFile &file, const std::string &bytes)
{
    file.append(bytes.data(), bytes.size());
    return true;
}

// What the log and the in-place save rely on: appends keep what is there,
// truncation empties, an in-place save leaves no tail of a longer old file,
// and only an existing file opens in place, keeping the system's reason.
void files()
{
    const FileRow rows[] = {
        {.name = "append keeps", .before = "one\n", .opening = platformFile::Append, .opens = true,
         .act = [](platformFile &f) { return append(f, "two\n") && append(f, "three\n"); }, .after = "one\ntwo\nthree\n"},
        {.name = "append creates", .before = nullptr, .opening = platformFile::Append, .opens = true,
         .act = [](platformFile &f) { return append(f, "line\n"); }, .after = "line\n"},
        {.name = "truncate empties", .before = "old old old\n", .opening = platformFile::Truncate, .opens = true,
         .act = [](platformFile &f) { return append(f, "new\n"); }, .after = "new\n"},
        {.name = "in place, shorter", .before = "0123456789", .opening = platformFile::Existing, .opens = true,
         .act = [](platformFile &f) { return f.reserve(2) && f.writeAt(0, "ab", 2) && f.finish(2); }, .after = "ab"},
        {.name = "in place, at offsets", .before = "0123", .opening = platformFile::Existing, .opens = true,
         .act = [](platformFile &f) { return f.reserve(5) && f.writeAt(3, "xy", 2) && f.writeAt(1, "z", 1); },
         .after = "0z2xy"},
        {.name = "in place, longer, cut to size", .before = "0123", .opening = platformFile::Existing, .opens = true,
         .act = [](platformFile &f) { return f.writeAt(0, "abcdefgh", 8) && f.finish(6); }, .after = "abcdef"},
        {.name = "in place, no file", .before = nullptr, .opening = platformFile::Existing, .opens = false,
         .act = [](platformFile &) { return true; }, .after = ""},
    };
    const std::string path = "platform-test.out";
    for (const FileRow &r : rows) {
        lay(path, r.before);
        platformFile file;
        check(file.open(path, r.opening) == r.opens, "opens", r.name);
        check((file.error() == 0) == r.opens, "the system's reason kept exactly on a failure", r.name);
        check(r.act(file), "calls", r.name);
        check(file.close(), "closes", r.name);
        check(contents(path) == r.after, "bytes after", r.name);
    }
    std::remove(path.c_str());
}

} // namespace

int main()
{
    portPaths();
    presence();
    files();
    if (failures == 0)
        std::printf("platform: all rows passed\n");
    return failures == 0 ? 0 : 1;
}
