#pragma once

#include "platformconnect.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <memory>

// The identities of a run's ports (portList::identities), for the check that
// no line is named twice. A serial server's host name must be looked up,
// which may take the connect's whole window: that look-up runs in a thread
// of its own, so that a window stays live and a close signal or Stop is
// heard at once; stop() abandons it. Without a name to look up the answer
// comes before check() returns.
class portCheck : public QObject
{
    Q_OBJECT
public:
    explicit portCheck(QObject *parent = nullptr);
    ~portCheck() override;
    portCheck(const portCheck &) = delete;
    portCheck &operator=(const portCheck &) = delete;

    // Finds the identities of `names`; checked() follows. A check still
    // running is abandoned first.
    void check(const QStringList &names);
    // Abandons a running check at once: no checked() follows.
    void stop();
    bool running() const { return m_thread != nullptr; }

signals:
    void checked(const QStringList &identities);

private:
    void ended(int generation, const QStringList &identities);

    platformConnect::Stop m_stop;
    int m_generation = 0;   // of the check that runs: an abandoned one's answer is dropped
    std::unique_ptr<QThread> m_thread;
};
