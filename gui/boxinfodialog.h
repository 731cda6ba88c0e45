#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;
class jobResult;
class jobRunner;
class serviceRequest;

// "Box information": asks the HD box on the chosen port for its software
// version, low-power version and MAC address, one request after the other
// through the window's job runner, and shows the answers with a button that
// copies them as text. A request that brings no answer shows "no answer".
class boxInfoDialog : public QDialog
{
    Q_OBJECT
public:
    boxInfoDialog(jobRunner &jobs, QWidget *parent);

    // Sends the first request; each result sends the next.
    void start();
    // Its requests are not all answered or ended yet: the window leaves
    // their codes and errors to this dialog meanwhile.
    bool running() const { return m_asking >= 0; }
    // "Title: answer" lines, as the copy button puts them on the clipboard.
    QString text() const;
    // What the dialog says below the answers, when it says anything.
    QString note() const;

private:
    struct Line {
        const serviceRequest *request;
        QLabel *value;
        QString answer;
        bool answered;
    };
    void onFinished(const jobResult &result);
    void ask(int line);
    void setAnswer(int line, const QString &answer);
    void copy();

    jobRunner &m_jobs;
    QList<Line> m_lines;
    QPushButton *m_copy = nullptr;
    QLabel *m_note = nullptr;   // said when no question was answered
    int m_asking = -1;
};
