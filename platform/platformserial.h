#pragma once

#include <cstdint>
#include <string>

// A serial port opened for one job with the boxes' line settings: 115200
// baud, 8 data bits, no parity, one stop bit, no flow control, raw bytes.
// Reads and writes wait at most the time given, so the caller keeps its
// own stop and stall rules. Used from one thread.
class platformSerial
{
public:
    static constexpr int baudRate = 115200;
    struct Result {
        long bytes = 0;   // bytes moved (0: none in time)
        int error = 0;    // 0, or the system's error number (platformError::text gives its words)
    };
    platformSerial() = default;
    ~platformSerial();            // closes
    platformSerial(const platformSerial &) = delete;
    platformSerial &operator=(const platformSerial &) = delete;

    // Opens by the path platformDevice::portPath gives, exclusively where the
    // system allows, and sets the line. 0 or the system's error number
    // (ENOENT / ERROR_FILE_NOT_FOUND for a missing port, EBUSY / ERROR_ACCESS_DENIED
    // for one another program holds, EACCES for a refused user, ...).
    int open(const std::string &path);
    bool isOpen() const;
    void close();
    // The port's own handle (descriptor on POSIX, HANDLE on Windows), for
    // platformDevice::lineLost; -1 when closed.
    std::intptr_t handle() const;

    // Waits up to timeoutMs (0: not at all) for the first byte, then takes
    // what has arrived, up to `size`, without waiting for more.
    Result read(char *data, long size, int timeoutMs);
    // Hands bytes to the system's queue, waiting up to timeoutMs for room;
    // bytes < size when the time ran out.
    Result write(const char *data, long size, int timeoutMs);
    // Waits up to timeoutMs until what was written has left the port; true
    // when it has. The system's own wait has no time limit, so it is asked
    // only once the port's queue is empty.
    bool drain(int timeoutMs);

private:
    std::intptr_t m_handle = -1;
#ifdef _WIN32
    // The timeouts last given to the port (read's and write's share one
    // call): set again only when a call needs others.
    struct Timeouts {
        unsigned long interval = 0, readMultiplier = 0, readConstant = 0, writeConstant = 0;
        bool operator==(const Timeouts &o) const
        {
            return interval == o.interval && readMultiplier == o.readMultiplier && readConstant == o.readConstant
                   && writeConstant == o.writeConstant;
        }
    };
    Timeouts m_timeouts{};
    bool m_timeoutsSet = false;
    int applyTimeouts(const Timeouts &wanted);
#endif
};
