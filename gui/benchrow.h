#pragma once

#include "boxquestions.h"
#include "boxwatch.h"
#include "jobkind.h"
#include "jobresult.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;
class jobRunner;
class portCombo;
class recordsFile;

// One box on the bench: its row of the bench's table, the runner that works
// on its port with a log of its own, and the watch for the next box. A row
// runs beside the others and never touches their ports, runners or logs.
// Each attempt of its job appends a record to the window's records file.
class benchRow : public QObject
{
    Q_OBJECT
public:
    // The table's columns, in order.
    enum Column { Port, Job, Files, Progress, Step, Left, Result, Identity, NextBox, Retries, Stop, Log, Columns };
    // A column's header (source text, context "benchRow").
    static const char *header(int column);

    // What a row keeps in settings.ini.
    struct Setup {
        QString port{};
        jobKind::Kind kind = jobKind::None;
        QStringList files{};
        bool nextBox = false;
        int retries = 0;   // a failed job is tried again up to this often, where that can help
    };
    static constexpr int mostRetries = 100;
    // Where a row stands.
    enum class State { Idle, Asking, Running, Watching };

    // Adds its cells as the table's last row.
    benchRow(QTableWidget *table, QObject *parent = nullptr);
    ~benchRow() override;

    Setup setup() const;
    void setSetup(const Setup &setup);
    QString port() const;
    // What keeps the row from starting, in words; empty when it can.
    QString problem() const;
    State state() const { return m_state; }
    bool busy() const { return m_state == State::Asking || m_state == State::Running; }
    // Its file goes to the box, or the box writes it: a stop can harm the box.
    bool sending() const
    {
        return m_state == State::Running && (m_stage == Stage::Sending || m_stage == Stage::Working);
    }
    // Starts the row's job on its port; the bench has checked the port.
    void start();
    // Says on the row why it was not started.
    void refuse(const QString &why);
    // Stops the row's job (asking first while its file goes to the box) or its
    // wait for the next box. `ask`: false when the bench closes.
    void stop(bool ask = true);
    void setNextBox(bool on);
    void retranslate();
    // The row's own log: appended, every line tagged with the port.
    QString logPath() const;
    static QString logPath(const QString &port);
    void openLog();

    // For test programs.
    const jobResult &lastResult() const { return m_result; }
    QString resultText() const;
    QString resultTip() const;
    QString stepText() const;
    QString identityText() const;
    QString leftText() const;
    int progress() const;
    const jobRunner *jobs() const { return m_jobs.get(); }
    QPushButton *stopButton() const { return m_stopButton; }
    int jobsRun() const { return m_jobsRun; }

signals:
    // A job of the row came to its end (not its questions).
    void finished(jobResult::Outcome outcome);
    void stateChanged();

private:
    enum class Stage { Idle, Preparing, Sending, Working };
    void makeCells(QTableWidget *table);
    void chooseFiles();
    void showFiles();
    void makeRunner();
    void nextPhase();
    void onFinished(const jobResult &result);
    void onAnswer(const jobResult &result);
    QString shown(const boxQuestions::Answer &answer) const;
    void jobOver(const jobResult &result);
    bool retry();
    void retryNow();
    void record(const jobResult &result);
    void sayRecordsProblem(const recordsFile &records);
    void watchNext();
    void setState(State state);
    void setStage(Stage stage);
    bool askStop();
    void showResult(const jobResult &result);
    void showIdentity();
    void showHeard(int family);
    void tickLeft();
    void setProgress(int percent);
    void setText(Column column, const QString &text, const QString &tip = QString());

    QTableWidget *m_table;
    portCombo *m_port = nullptr;
    QComboBox *m_job = nullptr;
    QLabel *m_fileLabel = nullptr;
    QProgressBar *m_progress = nullptr;
    QCheckBox *m_next = nullptr;
    QSpinBox *m_retries = nullptr;
    QPushButton *m_stopButton = nullptr;
    QPushButton *m_logButton = nullptr;
    QTableWidgetItem *m_items[Columns] = {};
    QStringList m_files;

    std::unique_ptr<jobRunner> m_jobs;
    QString m_runnerPort;        // the port the runner was made for
    boxWatch m_watch;
    State m_state = State::Idle;
    boxQuestions m_questions;    // around the job (HD only), and where the row stands
    Stage m_stage = Stage::Idle;
    bool m_stopAsked = false;
    int m_jobsRun = 0;           // tells a job from the next, for a question
    int m_attempt = 1;           // of the job now on the box
    QDateTime m_started;         // the attempt's start, for its record
    QTimer m_retryPause;
    jobResult m_result;
    QString m_lastMac;           // the box of the last job, for the next-box watch
    int m_heard = -1;
    QString m_refusal;
    QString m_recordsProblem;    // the records file cannot be written: said on the row until it can
    QTimer m_leftTick;
    QDeadlineTimer m_leftDeadline;
    QPointer<QMessageBox> m_question;
    std::function<bool()> m_questionStands;
};
