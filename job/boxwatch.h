#pragma once

#include "linelistener.h"

#include <QObject>
#include <QString>
#include <QThread>

// Waits on a port, between a bench row's jobs, for the next box, and tells
// meanwhile which family answers there. It must never change a box, so it
// sends nothing but the HD console's read-only MAC question "get_mac" CR LF,
// and that only on a row whose job is an HD job and only once the line has
// been quiet for a while: a booting SD box talks, and a key pressed then
// could stop its start. On an SD row it sends nothing at all.
//
// A new box is told from the one left by the last job thus:
// - HD: the console answers with another MAC than the last job's box had.
//   Where that MAC is not known (the box never answered, or has no LAN
//   device), an answer counts once the port has been silent in between.
// - SD: the box's start-up text (its StartUpControl line) arrives after a
//   quiet spell; the box left by the job has long finished starting. An SD
//   box cannot be asked who it is, so the same box started again counts as
//   new.
// The port is held only while watching and is closed before found() comes.
class boxWatch : public QObject
{
    Q_OBJECT
public:
    using Heard = lineListener::Heard;

    explicit boxWatch(QObject *parent = nullptr);
    ~boxWatch() override;

    // What a port tells of its box (lineListener::Heard), in the user's words.
    static QString heardText(int family);

    void start(const lineListener::Plan &plan);
    // Ends the watch and frees the port; at once, also in a wait.
    void stop();
    bool watching() const { return m_watching; }

signals:
    void heard(int family);
    void found(int family, const QString &mac);

private:
    QThread m_thread;
    lineListener *m_listener = nullptr;   // lives in m_thread
    bool m_watching = false;
};
