#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QStatusBar;

// The window's status texts, and beside a standing one the seconds left of
// a long wait for the box, counted down once a second: a user who sees
// "Waiting till Settopbox finishes (42 s)" knows the program has not hung.
class waitCountdown : public QObject
{
    Q_OBJECT
public:
    // A shorter wait is over before a count would tell anything.
    static constexpr qint64 shortestMs = 3000;

    explicit waitCountdown(QStatusBar *bar, QObject *parent = nullptr);

    // Shows a status code's text for `timeout` ms (0: it stays); a count
    // beside the text before ends.
    void showStatus(const QString &text, int timeout);
    // A wait for the box began that lasts at most `ms`. Counted beside the
    // standing status text, if that is still shown and the wait is long.
    void waitBegan(qint64 ms);
    // The wait is over: the status text alone again, if the count still shows.
    void stop();
    bool counting() const { return m_tick.isActive(); }
    // The status text with `seconds` left.
    static QString text(const QString &status, qint64 seconds);

private:
    void tick();

    QStatusBar *m_bar;
    QTimer m_tick;
    QDeadlineTimer m_deadline;
    QString m_standing;   // the last status text that stays, or empty
    QString m_shown;      // what the count put on the bar last, or empty
};
