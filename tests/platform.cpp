// The platform layer on its own, without Qt, so that the same program builds
// and runs for Windows (MinGW; under Wine here, see tools/wincheck.sh) as for
// POSIX: port paths and a real port (its line, bytes both ways, timed reads),
// what a path names, the system's words for its errors, the file calls that
// the log and an in-place list save stand on, two processes appending to one
// log, and close requests that the program acts on before it ends. Each
// table row names its fields and prints PASS, FAIL with what failed, or SKIP
// with why it cannot run here; a count ends the run, and any failure fails
// the program.
//
// The same program plays the child processes that some rows need (main()).
#include "platformconnect.h"
#include "platformdevice.h"
#include "platformerror.h"
#include "platformfile.h"
#include "platformserial.h"
#include "platformsignals.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "winpath.h"
#else
#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
extern char **environ;
#endif

namespace {

#ifdef _WIN32
constexpr bool windows = true;
// POSIX's signals, named so that the rows read the same on both systems.
constexpr int hangUpSignal = 1, interruptSignal = 2, terminateSignal = 15;
constexpr int ctrlC = CTRL_C_EVENT, ctrlBreak = CTRL_BREAK_EVENT, ctrlClose = CTRL_CLOSE_EVENT;
#else
constexpr bool windows = false;
constexpr int hangUpSignal = SIGHUP, interruptSignal = SIGINT, terminateSignal = SIGTERM;
// Windows' console events, named so that the rows read the same on both systems.
constexpr int ctrlC = 0, ctrlBreak = 1, ctrlClose = 2;
#endif
// Windows' error numbers, and the exit code of a process that its default
// Ctrl-C handling ends (Wine's ends it with 0).
constexpr int winInvalidFunction = 1, winFileNotFound = 2, winPathNotFound = 3, winAccessDenied = 5;
constexpr std::int64_t controlCExit = 0xC000013A, wineControlCExit = 0;
constexpr int stoppedExit = 130;      // what the program exits with after a close request
constexpr int childBoundMs = 30000;   // far beyond what any child needs
constexpr int pollMs = 10;

template <typename T>
T mine(T posix, T win)
{
    return windows ? win : posix;
}

bool underWine()
{
#ifdef _WIN32
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// ---- rows and their results ----------------------------------------------

struct Tally {
    int passed = 0, failed = 0, skipped = 0;
} tally;
std::vector<std::string> faults;   // of the row being run

void check(bool ok, const std::string &what)
{
    if (!ok)
        faults.push_back(what);
}

void report(const char *group, const std::string &row)
{
    std::string all;
    for (const std::string &f : faults)
        all += (all.empty() ? ": " : "; ") + f;
    ++(faults.empty() ? tally.passed : tally.failed);
    std::printf("%s %s: %s%s\n", faults.empty() ? "PASS" : "FAIL", group, row.c_str(), all.c_str());
    std::fflush(stdout);
    faults.clear();
}

// Why a row cannot run here, per system and under Wine; nullptr: it can.
struct NotHere {
    const char *posix = nullptr;
    const char *windows = nullptr;
    const char *wine = nullptr;
    const char *here() const { return underWine() && wine ? wine : mine(posix, windows); }
};

bool skipped(const char *group, const std::string &row, const char *why)
{
    if (!why)
        return false;
    ++tally.skipped;
    std::printf("SKIP %s: %s: %s\n", group, row.c_str(), why);
    std::fflush(stdout);
    return true;
}

// ---- files and child processes -------------------------------------------

std::string contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file with these bytes, or no file for nullptr.
void lay(const std::string &path, const char *bytes)
{
    std::remove(path.c_str());
    if (bytes)
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool append(platformFile &file, const std::string &bytes)
{
    return file.append(bytes.data(), bytes.size());
}

void note(const std::string &path, const std::string &line)
{
    platformFile file;
    file.open(path, platformFile::Append);
    append(file, line);
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Text for a result line: its line breaks shown, not made.
std::string shown(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return "\"" + out + "\"";
}

bool waitFor(const std::string &path, const std::string &text)
{
    for (int waited = 0; waited < childBoundMs; waited += pollMs, sleepMs(pollMs))
        if (contents(path) == text)
            return true;
    return false;
}

// This program again, playing a part that main() picks by the arguments.
class Child
{
public:
    ~Child() { finish(0); }
    bool start(const std::vector<std::string> &args);
    // Its exit code; -1 when it has not ended within boundMs (it is then ended).
    std::int64_t finish(int boundMs);
    // A close request: the signal on POSIX, the console event on Windows.
    bool request(int signal, int event);

private:
#ifdef _WIN32
    PROCESS_INFORMATION m_info{};
#else
    pid_t m_pid = -1;
#endif
};

#ifdef _WIN32
bool Child::start(const std::vector<std::string> &args)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\"";
    for (const std::string &a : args)
        line += L" \"" + widePath(a) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // A process group of its own, so that its console events reach it alone.
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                          &startup, &m_info);
}

std::int64_t Child::finish(int boundMs)
{
    if (!m_info.hProcess)
        return -1;
    DWORD code = 0;
    const bool ended = WaitForSingleObject(m_info.hProcess, DWORD(boundMs)) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, INFINITE);
    }
    GetExitCodeProcess(m_info.hProcess, &code);
    CloseHandle(m_info.hProcess);
    CloseHandle(m_info.hThread);
    m_info = {};
    return ended ? std::int64_t(code) : -1;
}

bool Child::request(int, int event)
{
    return GenerateConsoleCtrlEvent(DWORD(event), m_info.dwProcessId) != 0;
}
#else
bool Child::start(const std::vector<std::string> &args)
{
    std::vector<char *> argv{const_cast<char *>("tst_platform")};
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    return posix_spawn(&m_pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) == 0;
}

std::int64_t Child::finish(int boundMs)
{
    if (m_pid < 0)
        return -1;
    int status = 0;
    pid_t got = 0;
    for (int waited = 0; (got = ::waitpid(m_pid, &status, WNOHANG)) == 0 && waited < boundMs; waited += pollMs)
        sleepMs(pollMs);
    if (got == 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    if (got > 0 && WIFEXITED(status))
        return WEXITSTATUS(status);
    return -1;
}

bool Child::request(int signal, int)
{
    return ::kill(m_pid, signal) == 0;
}
#endif

// ---- ports ----------------------------------------------------------------

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
    for (const PortRow &r : rows) {
        check(platformDevice::portPath(r.name) == mine(r.posix, r.windows), "port path");
        report("port path", r.name);
    }
}

// A port as the system has it, opened by platformSerial, and its far end: on
// POSIX a pseudo-terminal pair made here; on Windows the COM port that
// VELMORA_TEST_PORT names and the file that VELMORA_TEST_PORT_FAR names, two
// ends of one line (tools/wincheck.sh links them under Wine).
struct OpenPort {
    std::string name;              // empty: none at hand
    platformSerial serial;
    int opened = -1;               // what serial.open() gave
    OpenPort();
    ~OpenPort();
    bool hangUp();                 // the far end goes away
    bool farWrite(const std::string &bytes);
    // What reaches the far end until it has `count` bytes or boundMs passes.
    std::string farRead(std::size_t count, int boundMs);

private:
    std::string farTake(std::size_t most);   // what is there, without waiting
    std::intptr_t m_farEnd = -1;
};

std::string OpenPort::farRead(std::size_t count, int boundMs)
{
    std::string got = farTake(count);
    for (int waited = 0; got.size() < count && waited < boundMs; waited += pollMs) {
        sleepMs(pollMs);
        got += farTake(count - got.size());
    }
    return got;
}

#ifdef _WIN32
OpenPort::OpenPort()
{
    const char *named = std::getenv("VELMORA_TEST_PORT");
    const char *farName = std::getenv("VELMORA_TEST_PORT_FAR");
    const HANDLE h = named && farName ? CreateFileW(widePath(farName).c_str(), GENERIC_READ | GENERIC_WRITE,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)
                                      : INVALID_HANDLE_VALUE;
    COMMTIMEOUTS atOnce{};
    atOnce.ReadIntervalTimeout = MAXDWORD;
    if (h == INVALID_HANDLE_VALUE || !SetCommTimeouts(h, &atOnce) || !PurgeComm(h, PURGE_RXCLEAR))
        return;
    m_farEnd = reinterpret_cast<std::intptr_t>(h);
    name = named;
    opened = serial.open(platformDevice::portPath(name));
}

OpenPort::~OpenPort()
{
    if (m_farEnd != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_farEnd));
}

bool OpenPort::hangUp()
{
    return false;
}

bool OpenPort::farWrite(const std::string &bytes)
{
    DWORD put = 0;
    return WriteFile(reinterpret_cast<HANDLE>(m_farEnd), bytes.data(), DWORD(bytes.size()), &put, nullptr)
           && put == bytes.size();
}

std::string OpenPort::farTake(std::size_t most)
{
    std::string got(most, '\0');
    DWORD n = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(m_farEnd), got.data(), DWORD(most), &n, nullptr))
        n = 0;
    got.resize(n);
    return got;
}
#else
OpenPort::OpenPort()
{
    m_farEnd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_farEnd < 0 || ::grantpt(int(m_farEnd)) != 0 || ::unlockpt(int(m_farEnd)) != 0)
        return;
    name = ::ptsname(int(m_farEnd));
    opened = serial.open(platformDevice::portPath(name));
}

OpenPort::~OpenPort()
{
    ::close(int(m_farEnd));
}

bool OpenPort::hangUp()
{
    const bool closed = ::close(int(m_farEnd)) == 0;
    m_farEnd = -1;
    return closed;
}

bool OpenPort::farWrite(const std::string &bytes)
{
    return ::write(int(m_farEnd), bytes.data(), bytes.size()) == ssize_t(bytes.size());
}

std::string OpenPort::farTake(std::size_t most)
{
    pollfd p{int(m_farEnd), POLLIN, 0};
    std::string got(most, '\0');
    const ssize_t n = ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) ? ::read(int(m_farEnd), got.data(), most) : 0;
    got.resize(std::size_t(n > 0 ? n : 0));
    return got;
}
#endif

// The line as the boxes need it, read back from the system.
void checkLine(std::intptr_t handle)
{
#ifdef _WIN32
    DCB d{};
    d.DCBlength = sizeof d;
    check(GetCommState(reinterpret_cast<HANDLE>(handle), &d), "settings read back");
    check(d.BaudRate == platformSerial::baudRate, "baud " + std::to_string(d.BaudRate));
    check(d.ByteSize == 8 && d.Parity == NOPARITY && d.StopBits == ONESTOPBIT, "8N1");
    check(d.fBinary && !d.fOutxCtsFlow && !d.fOutxDsrFlow && !d.fOutX && !d.fInX, "raw bytes, no flow control");
    check(d.fDtrControl == DTR_CONTROL_ENABLE && d.fRtsControl == RTS_CONTROL_ENABLE, "DTR and RTS raised");
#else
    termios t{};
    check(::tcgetattr(int(handle), &t) == 0, "settings read back");
    check(::cfgetispeed(&t) == B115200 && ::cfgetospeed(&t) == B115200, "115200 baud both ways");
    check((t.c_cflag & CSIZE) == CS8 && !(t.c_cflag & (PARENB | CSTOPB)), "8N1");
    check((t.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD), "no modem control, receiver on");
    check(!(t.c_cflag & CRTSCTS) && !(t.c_iflag & (IXON | IXOFF)), "no flow control");
    check(!(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | BRKINT)) && !(t.c_oflag & OPOST)
              && !(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)),
          "raw bytes");
    check(t.c_cc[VMIN] == 0 && t.c_cc[VTIME] == 0, "the system's reads never wait");
#endif
}

std::string allByteValues()
{
    std::string bytes;
    for (int b = 0; b <= 0xff; ++b)
        bytes += char(b);
    return bytes;
}

constexpr int lineBoundMs = 5000;   // far beyond what bytes on the line need
constexpr long blockBytes = 4096, pieceBytes = 1000;
const std::string guard = "guard";

struct LineRow {
    const char *name;
    std::function<void(OpenPort &)> holds;   // checks what the row holds
    NotHere notHere{};
};

// What the port list and a job ask of a port, a fresh one for each row: it
// opens for one job at a time, with the line set; bytes cross it unchanged
// both ways (no flow control characters taken, no line ends turned); reads
// stop at a piece's end; and a line that goes away is told, not taken for
// silence.
void ports()
{
    const LineRow rows[] = {
        {.name = "the port is there",
         .holds = [](OpenPort &p) { check(platformDevice::exists(platformDevice::portPath(p.name)), "there"); }},
        {.name = "this user may open it",
         .holds = [](OpenPort &p) { check(platformDevice::access(platformDevice::portPath(p.name)).error == 0, "allowed"); }},
        {.name = "an open line is not lost",
         .holds = [](OpenPort &p) { check(platformDevice::lineLost(p.serial.handle()) == 0, "not lost"); }},
        {.name = "the line is set for the boxes", .holds = [](OpenPort &p) { checkLine(p.serial.handle()); }},
        {.name = "every byte value leaves unchanged, and the port drains",
         .holds = [](OpenPort &p) {
             const std::string bytes = allByteValues();
             const platformSerial::Result r = p.serial.write(bytes.data(), long(bytes.size()), lineBoundMs);
             check(r.bytes == long(bytes.size()) && r.error == 0, "written " + std::to_string(r.bytes));
             check(p.serial.drain(lineBoundMs), "drained");
             check(p.farRead(bytes.size(), lineBoundMs) == bytes, "the far end's bytes");
         }},
        {.name = "a block from the far end arrives whole, in pieces",
         .holds = [](OpenPort &p) {
             std::string block;
             for (long i = 0; i < blockBytes; ++i)
                 block += char((i * 7 + i / 256) & 0xff);
             check(p.farWrite(block), "sent");
             std::string got;
             platformSerial::Result r{.bytes = 1};
             while (got.size() < block.size() && r.bytes > 0 && r.error == 0) {
                 std::string piece = std::string(std::size_t(pieceBytes), '\0') + guard;
                 r = p.serial.read(piece.data(), pieceBytes, lineBoundMs);
                 check(r.bytes <= pieceBytes && piece.substr(std::size_t(pieceBytes)) == guard, "within the piece");
                 got += piece.substr(0, std::size_t(r.bytes));
             }
             check(r.error == 0, "error " + std::to_string(r.error));
             check(got == block, "the block, " + std::to_string(got.size()) + " bytes");
         }},
        {.name = "a missing port is not found",
         .holds = [](OpenPort &) {
             platformSerial missing;
             char byte;
             const int error = missing.open(platformDevice::portPath(mine("ttyNOSUCH", "COM199")));
             check(error == mine(ENOENT, winFileNotFound), "error " + std::to_string(error));
             check(!missing.isOpen() && missing.handle() == -1, "left closed");
             check(missing.read(&byte, 1, 0).error != 0, "a read fails");
         }},
        {.name = "one job at a time: a second open is refused until the first closes",
         .holds = [](OpenPort &p) {
             platformSerial second;
             const int error = second.open(platformDevice::portPath(p.name));
             check(error == mine(EBUSY, winAccessDenied), "error " + std::to_string(error));
             check(p.serial.isOpen() && !second.isOpen(), "the first stays open");
             p.serial.close();
             check(second.open(platformDevice::portPath(p.name)) == 0 && second.handle() != -1, "opens after");
         },
         .notHere = {.wine = "Wine opens a COM port a second time whatever sharing the first asked"}},
        {.name = "a line whose far end went away is lost, and a read says so",
         .holds = [](OpenPort &p) {
             char byte;
             check(p.hangUp() && platformDevice::lineLost(p.serial.handle()) != 0, "lost");
             const platformSerial::Result r = p.serial.read(&byte, 1, lineBoundMs);
             check(r.bytes == 0 && r.error != 0, "the read's error " + std::to_string(r.error));
         },
         .notHere = {.windows = "a port going away takes a USB adapter pulled out",
                     .wine = "Wine keeps no modem lines on a pseudo-terminal (GetCommModemStatus fails, error 50), "
                             "so a port that went away cannot be told from one that is there"}},
    };
    for (const LineRow &r : rows) {
        OpenPort port;
        if (skipped("port", r.name, port.name.empty() ? "no port at hand: VELMORA_TEST_PORT(_FAR) name none"
                                                      : r.notHere.here()))
            continue;
        check(port.opened == 0, "opens: " + platformError::text(port.opened));
        r.holds(port);
        report("port", r.name);
    }
}

struct ReadRow {
    const char *name;
    const char *sent;        // what the far end sends just before the read
    int timeoutMs;
    int notBeforeMs = 0;     // the read took at least this long
    int underMs = lineBoundMs;   // and less than this
};

// A read waits for the first byte up to its time, no longer, and takes what
// is there without waiting for more: the job's stall rule counts on both.
// The bounds are loose: only a read that waits wrongly comes near them.
void portReads()
{
    const ReadRow rows[] = {
        {.name = "nothing waiting: no bytes once its time has passed", .sent = "", .timeoutMs = 400, .notBeforeMs = 200},
        {.name = "nothing waiting, no time: no bytes", .sent = "", .timeoutMs = 0, .underMs = 2500},
        {.name = "bytes waiting: they come without the rest of the time", .sent = "box says hello", .timeoutMs = 5000,
         .underMs = 2500},
    };
    constexpr long readBytes = 64;
    for (const ReadRow &r : rows) {
        OpenPort port;
        if (skipped("port read", r.name, port.name.empty() ? "no port at hand: VELMORA_TEST_PORT(_FAR) name none" : nullptr))
            continue;
        const std::string sent = r.sent;
        check(port.opened == 0 && port.farWrite(sent), "opens, sends");
        char data[readBytes];
        const auto start = std::chrono::steady_clock::now();
        const platformSerial::Result got = port.serial.read(data, readBytes, r.timeoutMs);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        check(got.error == 0, "error " + std::to_string(got.error));
        check((got.bytes > 0) == !sent.empty() && got.bytes <= long(sent.size())
                  && sent.compare(0, std::size_t(got.bytes), data, std::size_t(got.bytes)) == 0,
              std::to_string(got.bytes) + " bytes");
        check(ms >= r.notBeforeMs && ms < r.underMs, "took " + std::to_string(ms) + " ms");
        report("port read", r.name);
    }
}

struct PresenceRow {
    const char *path;
    bool there;
};

// The window marks a named port that is not there; a folder counts as there.
void presence()
{
    lay("platform-present.out", "x");
    const PresenceRow rows[] = {
        {.path = "platform-present.out", .there = true},
        {.path = ".", .there = true},
        {.path = "platform-absent.out", .there = false},
        {.path = "no-such-folder/platform-present.out", .there = false},
        {.path = "COM199", .there = false},
    };
    for (const PresenceRow &r : rows) {
        check(platformDevice::exists(r.path) == r.there, "there");
        report("presence", r.path);
    }
    std::remove("platform-present.out");
}

// ---- connections that a stop abandons ------------------------------------

enum class Server { Listening, Closed, FullQueue };
struct ConnectRow {
    const char *name;
    const char *host = "127.0.0.1";
    Server server = Server::Listening;
    int windowMs = 5000;
    int stopAfterMs = -1;   // the stop is raised this long after the start; -1: never
    platformConnect::Result result = platformConnect::Connected;
    int boundMs = 2500;     // it ends sooner than this: at once, not when a window would pass
};

#ifndef _WIN32
// A listener on 127.0.0.1 (its port) and what keeps its queue full where asked:
// the system then drops a further connect's first packet, and that connect waits.
std::uint16_t listener(Server server, std::vector<int> &fds)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(fd, 0);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size);
    fds.push_back(fd);
    for (int i = 0; server == Server::FullQueue && i < 2; ++i) {
        fds.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(fds.back(), reinterpret_cast<sockaddr *>(&a), sizeof a);
    }
    sleepMs(100);   // the queue's one place taken
    if (server == Server::Closed) {
        ::close(fd);
        fds.pop_back();
    }
    return ntohs(a.sin_port);
}
#endif

void connects()
{
    const ConnectRow rows[] = {
        {.name = "a listening server"},
        {.name = "an address in a short spelling", .host = "127.1"},
        {.name = "nothing listens", .server = Server::Closed, .result = platformConnect::Refused},
        {.name = "a full queue, stopped", .server = Server::FullQueue, .stopAfterMs = 200, .result = platformConnect::Stopped},
        {.name = "a full queue, its window passes", .server = Server::FullQueue, .windowMs = 300,
         .result = platformConnect::NoAnswer},
        {.name = "stopped before it began", .stopAfterMs = 0, .result = platformConnect::Stopped},
    };
    for (const ConnectRow &r : rows) {
        if (skipped("connects", r.name, mine<const char *>(nullptr, "the rows' server is made with POSIX calls")))
            continue;
#ifndef _WIN32
        std::vector<int> fds;
        const std::uint16_t port = listener(r.server, fds);
        platformConnect::Stop stop;
        if (r.stopAfterMs == 0)
            stop.raise();
        std::thread raiser([&] {
            if (r.stopAfterMs > 0) {
                sleepMs(r.stopAfterMs);
                stop.raise();
            }
        });
        const auto start = std::chrono::steady_clock::now();
        const platformConnect::Connection c = platformConnect::connect(r.host, port, r.windowMs, stop);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        raiser.join();
        check(c.result == r.result, "result " + std::to_string(c.result) + " " + c.reason);
        check((c.socket >= 0) == (r.result == platformConnect::Connected), "socket");
        check(ms < r.boundMs, "took " + std::to_string(ms) + " ms");
        platformConnect::closeSocket(c.socket);
        for (int fd : fds)
            ::close(fd);
#endif
        report("connects", r.name);
    }
}

// ---- what a path names -----------------------------------------------------

struct KindRow {
    const char *name;
    const char *posix;
    const char *windows;
    platformFile::Kind kind;
    NotHere notHere{};
};

// A job refuses a device or a folder as the file to send, and a FIFO, which
// would block it for ever: told without opening them.
void kinds()
{
    lay("platform-kind.out", "x");
#ifndef _WIN32
    ::mkfifo("platform-kind.fifo", 0600);
#endif
    using K = platformFile::Kind;
    const KindRow rows[] = {
        {.name = "a regular file", .posix = "platform-kind.out", .windows = "platform-kind.out", .kind = K::Regular},
        {.name = "a folder", .posix = ".", .windows = ".", .kind = K::Folder},
        {.name = "nothing there", .posix = "platform-absent.out", .windows = "platform-absent.out", .kind = K::Absent},
        {.name = "in a missing folder", .posix = "no-such/x", .windows = "no-such\\x", .kind = K::Absent},
        {.name = "the null device", .posix = "/dev/null", .windows = "NUL", .kind = K::Device},
        {.name = "a port by its bare name", .posix = "/dev/tty", .windows = "COM3", .kind = K::Device},
        {.name = "a port in the device namespace", .posix = "/dev/ptmx", .windows = "\\\\.\\COM10", .kind = K::Device},
        {.name = "a device name in any folder", .posix = nullptr, .windows = "no-such\\nul", .kind = K::Device,
         .notHere = {.posix = "POSIX names a device only by its place"}},
        {.name = "a FIFO", .posix = "platform-kind.fifo", .windows = "\\\\.\\pipe\\velmora-test", .kind = K::Fifo},
    };
    for (const KindRow &r : rows) {
        if (skipped("kind", r.name, r.notHere.here()))
            continue;
        check(platformFile::kindOf(mine(r.posix, r.windows)) == r.kind, "kind");
        report("kind", r.name);
    }
    std::remove("platform-kind.out");
    std::remove("platform-kind.fifo");
}

// ---- the system's words ------------------------------------------------------

bool validUtf8(const std::string &text)
{
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        i += n;
    }
    return true;
}

// Words fit for a log line: some, on one line, ending in no blank, UTF-8
// where the system speaks it, and not the stand-in for a number without words.
bool wellSaid(const std::string &words, int code)
{
    return !words.empty() && words.find_first_of("\r\n") == std::string::npos && words.back() != ' '
           && (!windows || validUtf8(words)) && words != "error " + std::to_string(code);
}

struct ErrorRow {
    const char *name;
    int posixCode;
    int windowsCode;
    const char *posix;     // the exact words; nullptr: any that are well said
    const char *windows;
};

// Windows' words depend on its version and language (tools/wincheck.sh asks
// Wine for German ones, which go beyond ASCII).
void errorTexts()
{
    const ErrorRow rows[] = {
        {.name = "a missing file", .posixCode = ENOENT, .windowsCode = winFileNotFound,
         .posix = "No such file or directory", .windows = nullptr},
        {.name = "a refusal", .posixCode = EACCES, .windowsCode = winAccessDenied, .posix = "Permission denied",
         .windows = nullptr},
        {.name = "a call the object cannot take", .posixCode = EINVAL, .windowsCode = winInvalidFunction,
         .posix = "Invalid argument", .windows = nullptr},
        {.name = "a number without words", .posixCode = 99999, .windowsCode = 99999, .posix = "Unknown error 99999",
         .windows = "error 99999"},
    };
    for (const ErrorRow &r : rows) {
        const int code = mine(r.posixCode, r.windowsCode);
        const char *exact = mine(r.posix, r.windows);
        const std::string words = platformError::text(code);
        check(exact ? words == exact : wellSaid(words, code), "words " + shown(words));
        report("error text", r.name);
    }
}

// ---- writing files -----------------------------------------------------------

const char *const scratchFile = "platform-test.out";
using Act = std::function<bool(platformFile &)>;
struct FileRow {
    const char *name;
    const char *path = nullptr;     // nullptr: the scratch file, laid with `before`
    const char *before = nullptr;   // the scratch file's bytes first; nullptr: no file
    platformFile::Opening opening;
    int posixRefusal = 0;           // the system's reason for not opening; 0: it opens
    int windowsRefusal = 0;
    Act act = [](platformFile &) { return true; };   // false: a call failed
    const char *after = "";         // the scratch file's bytes at the end
};

// What the log and the in-place save rely on: appends keep what is there,
// truncation empties, an in-place save leaves no tail of a longer old file,
// and only an existing file opens in place. A refusal keeps the system's
// reason exactly, and that reason has words.
void files()
{
    const FileRow rows[] = {
        {.name = "append keeps", .before = "one\n", .opening = platformFile::Append,
         .act = [](platformFile &f) { return append(f, "two\n") && append(f, "three\n"); }, .after = "one\ntwo\nthree\n"},
        {.name = "append creates", .opening = platformFile::Append, .act = [](platformFile &f) { return append(f, "line\n"); },
         .after = "line\n"},
        {.name = "two opens append in turn", .before = "one\n", .opening = platformFile::Append,
         .act = [](platformFile &f) {
             platformFile other;
             return other.open(scratchFile, platformFile::Append) && append(f, "a\n") && append(other, "b\n")
                    && append(f, "c\n");
         },
         .after = "one\na\nb\nc\n"},
        {.name = "truncate empties", .before = "old old old\n", .opening = platformFile::Truncate,
         .act = [](platformFile &f) { return append(f, "new\n"); }, .after = "new\n"},
        {.name = "in place, shorter", .before = "0123456789", .opening = platformFile::Existing,
         .act = [](platformFile &f) { return f.reserve(2) && f.writeAt(0, "ab", 2) && f.finish(2); }, .after = "ab"},
        {.name = "in place, at offsets", .before = "0123", .opening = platformFile::Existing,
         .act = [](platformFile &f) { return f.reserve(5) && f.writeAt(3, "xy", 2) && f.writeAt(1, "z", 1); },
         .after = "0z2xy"},
        {.name = "in place, longer, cut to size", .before = "0123", .opening = platformFile::Existing,
         .act = [](platformFile &f) { return f.reserve(8) && f.writeAt(0, "abcdefgh", 8) && f.finish(6); }, .after = "abcdef"},
        // Holds: one alone keeps every other out, shared ones only one alone;
        // a hold ends with its file's close. The bytes stay open to appends.
        {.name = "held alone: no other hold", .before = "one\n", .opening = platformFile::Append,
         .act = [](platformFile &f) {
             platformFile other;
             return f.lock(false) && other.open(scratchFile, platformFile::Append) && !other.lock(false) &&
                    !other.lock(false, platformFile::Shared) && append(other, "two\n");
         },
         .after = "one\ntwo\n"},
        {.name = "held shared: others share, none alone", .before = "one\n", .opening = platformFile::Append,
         .act = [](platformFile &f) {
             platformFile other, third;
             return f.lock(false, platformFile::Shared) && other.open(scratchFile, platformFile::Append) &&
                    other.lock(false, platformFile::Shared) && third.open(scratchFile, platformFile::Append) &&
                    !third.lock(false);
         },
         .after = "one\n"},
        {.name = "a hold ends with the close", .before = "one\n", .opening = platformFile::Append,
         .act = [](platformFile &f) {
             platformFile other;
             return f.lock(false) && other.open(scratchFile, platformFile::Append) && !other.lock(false) && f.close() &&
                    other.lock(false) && other.size() == 4;
         },
         .after = "one\n"},
        {.name = "in place, no file", .opening = platformFile::Existing, .posixRefusal = ENOENT, .windowsRefusal = winFileNotFound},
        {.name = "in place, a folder", .path = ".", .opening = platformFile::Existing, .posixRefusal = EISDIR,
         .windowsRefusal = winAccessDenied},
        {.name = "append to a folder", .path = ".", .opening = platformFile::Append, .posixRefusal = EISDIR,
         .windowsRefusal = winAccessDenied},
        {.name = "in a missing folder", .path = "no-such-folder/platform-test.out", .opening = platformFile::Truncate,
         .posixRefusal = ENOENT, .windowsRefusal = winPathNotFound},
    };
    for (const FileRow &r : rows) {
        const std::string path = r.path ? r.path : scratchFile;
        lay(scratchFile, r.before);
        const int refusal = mine(r.posixRefusal, r.windowsRefusal);
        platformFile file;
        check(file.open(path, r.opening) == (refusal == 0), "opens");
        check(file.error() == refusal, "the system's reason " + std::to_string(file.error()));
        check(refusal == 0 || wellSaid(platformError::text(file.error()), file.error()), "the reason in words");
        check(r.act(file), "calls");
        check(file.close(), "closes");
        check(contents(scratchFile) == r.after, "bytes after");
        report("file", r.name);
    }
    std::remove(scratchFile);
}

// ---- two processes, one log --------------------------------------------------

int lineLength(int line, int longest)
{
    constexpr int spread = 7919;   // a prime: the lengths wander over the range
    return 1 + (line * spread) % longest;
}

// What the first of writers that hold the file puts before any line.
const std::string heldHeader = "#\n";

// The child's part: `lines` lines of its letter, one append each; held, each
// line is appended with the file held, after the header when it is empty.
int appendLines(const std::string &path, char letter, int lines, int longest, bool held)
{
    platformFile file;
    bool ok = file.open(path, platformFile::Append);
    for (int i = 0; ok && i < lines; ++i) {
        const std::string line = std::string(std::size_t(lineLength(i, longest)), letter) + '\n';
        if (!held) {
            ok = append(file, line);
            continue;
        }
        platformFile turn;
        ok = turn.open(path, platformFile::Append) && turn.lock(true);
        const std::int64_t size = ok ? turn.size() : -1;
        if (size == 0)
            sleepMs(pollMs);   // a moment in which others would find it empty too, were it not held
        ok = size >= 0 && append(turn, (size == 0 ? heldHeader : std::string()) + line) && turn.close();
    }
    return ok && file.close() ? 0 : 1;
}

struct AppendRow {
    const char *name;
    int processes = 2;
    int lines;     // per process
    int longest;
    bool held = false;      // each line with the file held, the first after a header
    int killWithinMs = -1;  // each writer is killed at a moment up to this; -1: they end
    NotHere notHere{};
};

// Every line arrives whole and in its writer's order, whoever else appends
// at the same time (two opens taking turns: the file rows), and however a
// writer ends; writers that hold the file write one header between them.
void appenders()
{
    const char *wine = "Wine appends in two steps (it looks up the file's end, then writes there), so two processes "
                       "appending at once write over each other's lines; Windows appends in one";
    const AppendRow rows[] = {
        {.name = "two processes, short lines", .lines = 2000, .longest = 80, .notHere = {.wine = wine}},
        {.name = "two processes, long lines", .lines = 40, .longest = 60000, .notHere = {.wine = wine}},
        {.name = "eight processes, held, killed at random moments", .processes = 8, .lines = 1000000, .longest = 300,
         .held = true, .killWithinMs = 300, .notHere = {.wine = wine}},
    };
    const std::string path = "platform-shared.log";
    constexpr int mostWriters = 8;
    std::minstd_rand moments(29);   // the same moments on every run
    for (const AppendRow &r : rows) {
        if (skipped("shared log", r.name, r.notHere.here()))
            continue;
        lay(path, nullptr);
        std::vector<Child> writers(std::size_t(r.processes));
        for (int w = 0; w < r.processes; ++w)
            check(writers[std::size_t(w)].start({"--append", path, std::string(1, char('A' + w)), std::to_string(r.lines),
                                                 std::to_string(r.longest), r.held ? "held" : "free"}),
                  "starts");
        for (Child &writer : writers) {
            if (r.killWithinMs >= 0)
                sleepMs(int(moments() % std::uint32_t(r.killWithinMs / r.processes + 1)));
            check(writer.finish(r.killWithinMs >= 0 ? 0 : childBoundMs) == (r.killWithinMs >= 0 ? -1 : 0),
                  r.killWithinMs >= 0 ? "killed while writing" : "wrote all");
        }
        std::vector<int> lengths[mostWriters];
        std::string all = contents(path);
        check(all.rfind(r.held ? heldHeader : std::string(), 0) == 0, "the header first");
        for (std::size_t at = r.held ? heldHeader.size() : 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string line = all.substr(at, end - at);
            const bool whole = !line.empty() && line[0] >= 'A' && line[0] < 'A' + r.processes
                               && line.find_first_not_of(line[0]) == std::string::npos;
            check(whole, "a cut line at byte " + std::to_string(at));
            if (whole)
                lengths[line[0] - 'A'].push_back(int(line.size()));
        }
        // A killed writer's lines are those it wrote before, in order.
        for (int w = 0; w < r.processes; ++w) {
            std::vector<int> expected;
            for (int i = 0; i < int(r.killWithinMs >= 0 ? lengths[w].size() : std::size_t(r.lines)); ++i)
                expected.push_back(lineLength(i, r.longest));
            check(lengths[w] == expected, std::string("writer ") + char('A' + w) + "'s lines, all and in order");
        }
        check(!all.empty() && all.back() == '\n', "ends with a whole line");
        report("shared log", r.name);
    }
    std::remove(path.c_str());
}

// ---- close requests ----------------------------------------------------------

// The child's part: catches the close requests, says it is ready, and on a
// request stops (says so, then releases the handlers and ends as the program
// does) or, to see what the system does then, never stops.
int closeChild(const std::string &log, bool stops)
{
#ifdef _WIN32
    SetConsoleCtrlHandler(nullptr, FALSE);   // a process group of its own starts deaf to Ctrl-C
#endif
    if (!platformSignals::openChannel() || !platformSignals::catchClose())
        return 1;
    note(log, "ready\n");
    int number = 0;
    for (int waited = 0; number == 0 && waited < childBoundMs; waited += pollMs, sleepMs(pollMs))
        number = platformSignals::take();
    if (number == 0)
        return 1;
    if (!stops) {
        note(log, "seen " + std::to_string(number) + "\n");
        sleepMs(2 * platformSignals::stopWaitMs);
        note(log, "ran on\n");
        return 1;
    }
    note(log, "stopped " + std::to_string(number) + "\n");
    platformSignals::release();
    return stoppedExit;
}

struct CloseRow {
    const char *name;
    int signal;           // what delivers it on POSIX
    int event;            // and on Windows
    bool stops;           // the program stops when asked
    std::int64_t posixExit;
    std::int64_t windowsExit;
    const char *log;      // the child's log at its end
    NotHere notHere{};
};

// The program reads each request as the same number on both systems, stops
// its job and ends by itself. On Windows the console's handler holds the
// process until then (the system ends it when the handler returns), but not
// beyond a bound: a program that does not stop is then ended by the system.
void closeRequests()
{
#ifdef _WIN32
    // Console events need a console of one's own; without a terminal Wine
    // gives a stand-in that takes none.
    if (!GetConsoleWindow() && FreeConsole())
        AllocConsole();
#endif
    const char *noClose = "only closing its window sends a console's close event; no call does";
    const CloseRow rows[] = {
        {.name = "Ctrl-C or SIGINT", .signal = interruptSignal, .event = ctrlC, .stops = true, .posixExit = stoppedExit,
         .windowsExit = stoppedExit, .log = "ready\nstopped 2\n"},
        {.name = "Ctrl-Break or SIGTERM", .signal = terminateSignal, .event = ctrlBreak, .stops = true,
         .posixExit = stoppedExit, .windowsExit = stoppedExit, .log = "ready\nstopped 15\n",
         .notHere = {.wine = "Wine 8 passes on no Ctrl-Break (GenerateConsoleCtrlEvent fails for it)"}},
        {.name = "the console closed or SIGHUP", .signal = hangUpSignal, .event = ctrlClose, .stops = true,
         .posixExit = stoppedExit, .windowsExit = stoppedExit, .log = "ready\nstopped 1\n",
         .notHere = {.windows = noClose, .wine = "Wine sends no close event: its console passes on Ctrl-C only"}},
        {.name = "a program that does not stop is ended after the wait", .signal = interruptSignal, .event = ctrlC,
         .stops = false, .posixExit = 0, .windowsExit = underWine() ? wineControlCExit : controlCExit,
         .log = "ready\nseen 2\n",
         .notHere = {.posix = "a caught signal leaves the program running: no handler holds it, nothing ends it"}},
    };
    const std::string log = "platform-close.log";
    for (const CloseRow &r : rows) {
        if (skipped("close request", r.name, r.notHere.here()))
            continue;
        lay(log, nullptr);
        Child child;
        check(child.start({"--close", log, r.stops ? "stops" : "never"}), "starts");
        check(waitFor(log, "ready\n"), "ready");
        check(child.request(r.signal, r.event), "request sent");
        const std::int64_t code = child.finish(childBoundMs);
        check(code == mine(r.posixExit, r.windowsExit), "exit code " + std::to_string(code));
        check(contents(log) == r.log, "log " + shown(contents(log)));
        report("close request", r.name);
    }
    std::remove(log.c_str());
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 6 && args[0] == "--append")
        return appendLines(args[1], args[2][0], std::atoi(args[3].c_str()), std::atoi(args[4].c_str()), args[5] == "held");
    if (args.size() == 3 && args[0] == "--close")
        return closeChild(args[1], args[2] == "stops");
    portPaths();
    presence();
    connects();
    ports();
    portReads();
    kinds();
    errorTexts();
    files();
    appenders();
    closeRequests();
    std::printf("platform: %d passed, %d failed, %d skipped\n", tally.passed, tally.failed, tally.skipped);
    return tally.failed == 0 ? 0 : 1;
}
