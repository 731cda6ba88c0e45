#include "boxwatch.h"

#include <QCoreApplication>

#include <iterator>

namespace {

// By lineListener::Heard, from Silent on.
const char *const heardTexts[] = {
    QT_TRANSLATE_NOOP("boxWatch", "silent"),
    QT_TRANSLATE_NOOP("boxWatch", "HD console"),
    QT_TRANSLATE_NOOP("boxWatch", "SD box starting"),
};

} // namespace

QString boxWatch::heardText(int family)
{
    const bool known = family >= 0 && family < int(std::size(heardTexts));
    return QCoreApplication::translate("boxWatch", heardTexts[known ? family : int(lineListener::Silent)]);
}

boxWatch::boxWatch(QObject *parent) : QObject(parent), m_listener(new lineListener)
{
    qRegisterMetaType<lineListener::Plan>();
    m_listener->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_listener, &QObject::deleteLater);
    connect(m_listener, &lineListener::heard, this, [this](int family) {
        if (m_watching)
            emit heard(family);
    });
    connect(m_listener, &lineListener::found, this, [this](int family, const QString &mac) {
        if (!m_watching)
            return;
        m_watching = false;
        emit found(family, mac);
    });
    m_thread.setObjectName(QStringLiteral("boxWatch"));
    m_thread.start();
}

boxWatch::~boxWatch()
{
    stop();
    m_thread.quit();
    m_thread.wait();
}

void boxWatch::start(const lineListener::Plan &plan)
{
    m_watching = true;
    QMetaObject::invokeMethod(m_listener, "begin", Qt::QueuedConnection, Q_ARG(lineListener::Plan, plan));
}

void boxWatch::stop()
{
    m_watching = false;
    // The port must be free once this returns: a job may open it next.
    QMetaObject::invokeMethod(m_listener, &lineListener::end, Qt::BlockingQueuedConnection);
}
