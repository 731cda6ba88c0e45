#include "modalcloser.h"

#include <QAbstractButton>
#include <QApplication>

modalCloser::modalCloser(QObject *parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &modalCloser::poll);
    m_timer.start(10);
}

void modalCloser::poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || box->property("seen").toBool())
        return;
    box->setProperty("seen", true);
    m_boxes.append({box->windowTitle(), box->text(), box->icon(), int(box->standardButtons())});
    QAbstractButton *button = box->button(m_answer);
    if (!button)
        button = box->button(QMessageBox::Ok);
    if (button)
        button->click();
    else
        box->reject();
}
