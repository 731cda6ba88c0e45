#pragma once

#include "jobfiles.h"
#include "jobkind.h"
#include "linkcause.h"

#include <QStringList>

// What a front end asks the job layer to run: the job's kind, the ports it
// runs on, its files and its options.
class jobRequest
{
public:
    jobKind::Kind kind = jobKind::None;
    QStringList ports;
    jobFiles files;
    bool verify = false;     // a list upload is read back and compared
    bool identify = false;   // the box's version and MAC are asked before and after

    // What keeps the job's files from use, found before the box is touched:
    // a file to send that is missing or not a regular file (a FIFO would
    // block the job for ever), a download target in a folder that is missing
    // or not writable, or that is itself a folder, a FIFO or a device. None
    // when they are fine.
    linkCause filesProblem() const;
    // What a path is when it is no regular file ("a FIFO", "a folder"...),
    // else empty; never opens it.
    static QString specialKind(const QString &path);

    // A download from several ports writes one file per port: its target
    // names a folder, which gets <folder>/<port>.<ext>, or holds {port},
    // {mac} or {date}. The port's part is its base name, or host_port for
    // a serial server's port; {mac} needs the box's MAC, asked first.
    static bool perPort(const QString &target);
    static bool hasFields(const QString &target);
    static bool needsMac(const QString &target);
    static QString targetFor(const QString &target, jobKind::Kind kind, const QString &port,
                             const QString &mac = QString());
};
