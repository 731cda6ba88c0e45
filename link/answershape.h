#pragma once

#include <QByteArray>
#include <QString>

// What an HD console's answer to a service query must look like to be taken
// for one: a box that babbles, echoes or still prints an earlier job's
// output must not have that passed off as its version or MAC address.
class answerShape
{
public:
    enum Kind {
        Text,   // a version: printable characters only
        Mac     // twelve hexadecimal digits, or the box's word for none
    };
    // Of an answer that is no answer, the log shows this many bytes.
    static constexpr int shownBytes = 60;

    // Whether `line` (the answer's bytes without line end) has the shape.
    static bool fits(Kind kind, const QByteArray &line);
    // The line as a log line can show it: quoted, shortened, control bytes
    // and the quote written as C escapes.
    static QString shown(const QByteArray &line);

private:
    static bool printable(const QByteArray &line);
};
