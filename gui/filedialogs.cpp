#include "filedialogs.h"

#include <QFileDialog>

fileDialogs::Override fileDialogs::s_override;

void fileDialogs::setOverride(Override answer)
{
    s_override = std::move(answer);
}

QString fileDialogs::openFile(QWidget *parent, const QString &title, const QString &dir,
                              const QString &filter)
{
    if (s_override)
        return s_override(QStringLiteral("open"), title, dir, filter, nullptr).value(0);
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QStringList fileDialogs::openFiles(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter)
{
    if (s_override)
        return s_override(QStringLiteral("opens"), title, dir, filter, nullptr);
    return QFileDialog::getOpenFileNames(parent, title, dir, filter);
}

QString fileDialogs::saveFile(QWidget *parent, const QString &title, const QString &dir,
                              const QString &filter, QString *selectedFilter)
{
    if (s_override)
        return s_override(QStringLiteral("save"), title, dir, filter, selectedFilter).value(0);
    return QFileDialog::getSaveFileName(parent, title, dir, filter, selectedFilter);
}
