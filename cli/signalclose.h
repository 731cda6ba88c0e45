#pragma once

#include <QObject>

// Ignores SIGPIPE and turns SIGTERM, SIGINT and SIGHUP (on Windows the
// console's close events) into a Qt signal in the thread that made this
// object. The handler only leaves the number in the platform layer's
// channel; the event loop takes it from there and emits closeRequested(),
// where ordinary Qt code can run. On Windows the handler then waits until
// this object goes, since the system ends the process when it returns: make
// it before the job, so that it goes after.
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

    QObject *m_watcher = nullptr;   // what tells the event loop of a request
    bool m_owner = false;           // this instance made the process's channel
    bool m_installed = false;
};
