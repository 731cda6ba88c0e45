#pragma once

#include "benchrow.h"
#include "portcheck.h"

#include <QWidget>

#include <memory>
#include <vector>

class Ui_benchWindow;

// The bench: one row per box, each with its own port, runner and log,
// running side by side; Start all and Stop all, rows added, removed and
// given one job, and counters of the jobs since the bench was opened. Its
// rows are kept in settings.ini in the group "Bench".
class benchWindow : public QWidget
{
    Q_OBJECT
public:
    explicit benchWindow(QWidget *parent = nullptr);
    ~benchWindow() override;

    int rowCount() const { return int(m_rows.size()); }
    benchRow *row(int index) const { return m_rows.at(size_t(index)).get(); }
    benchRow *addRow(const benchRow::Setup &setup = {});
    // Only a row that runs nothing can go.
    bool removeRow(int index);
    // The idle rows start; none does while a port is named twice.
    void startAll();
    void stopAll(bool ask = true);
    // The selected row's job and files go to every idle row.
    void copyJobToAll();
    void setNextBoxAll(bool on);
    struct Counters { int done = 0, failed = 0, stopped = 0; };
    Counters counters() const { return m_counters; }
    // Shows the bench and brings it to the front; a bench opened anew (it
    // was closed, and so hidden) counts from zero.
    void open();
    QString countersText() const;
    Ui_benchWindow *form() const { return ui; }

    void readSettings();
    void writeSettings() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void startChecked(const QStringList &identities);
    void fitColumns();
    void count(jobResult::Outcome outcome);
    void retranslate();
    void updateControls();
    int selectedRow() const;

    Ui_benchWindow *ui;
    std::vector<std::unique_ptr<benchRow>> m_rows;
    Counters m_counters;
    portCheck m_portCheck;       // Start all's: no port named twice
    QStringList m_checkedPorts;  // what it checks
};
