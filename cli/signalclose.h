#pragma once

#include <QObject>

class QSocketNotifier;

// Ignores SIGPIPE and turns SIGTERM, SIGINT and SIGHUP into a Qt signal in the thread that made
// this object. The handler only writes one byte into a socket pair, which is
// all a signal handler may safely do; the event loop reads it back and emits
// closeRequested(), where ordinary Qt code can run.
class signalClose : public QObject
{
    Q_OBJECT
public:
    explicit signalClose(QObject *parent = nullptr);
    ~signalClose() override;
    signalClose(const signalClose &) = delete;
    signalClose &operator=(const signalClose &) = delete;

    // False when the socket pair or a handler could not be set up.
    bool isInstalled() const { return m_installed; }

signals:
    void closeRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
    bool m_installed = false;
};
