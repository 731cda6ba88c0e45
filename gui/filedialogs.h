#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The window's file dialogs. Test programs put their own answers in place
// with setOverride(); the program itself always shows the real dialogs.
class fileDialogs
{
public:
    // kind: "open", "opens" or "save"; the answer is the chosen paths (empty
    // when cancelled); selectedFilter may be set for "save".
    using Override = std::function<QStringList(const QString &kind, const QString &title,
                                               const QString &dir, const QString &filter,
                                               QString *selectedFilter)>;
    static void setOverride(Override answer);

    static QString openFile(QWidget *parent, const QString &title, const QString &dir,
                            const QString &filter);
    static QStringList openFiles(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter);
    static QString saveFile(QWidget *parent, const QString &title, const QString &dir,
                            const QString &filter, QString *selectedFilter);

private:
    static Override s_override;
};
