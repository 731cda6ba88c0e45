#include "portcheck.h"

#include "portlist.h"

portCheck::portCheck(QObject *parent)
    : QObject(parent)
{
}

portCheck::~portCheck()
{
    stop();
}

void portCheck::check(const QStringList &names)
{
    stop();
    if (!portList::needsLookUp(names)) {
        emit checked(portList::identities(names));
        return;
    }
    const int generation = ++m_generation;
    m_thread.reset(QThread::create([this, names, generation] {
        const QStringList found = portList::identities(names, &m_stop);
        QMetaObject::invokeMethod(this, [this, generation, found] { ended(generation, found); }, Qt::QueuedConnection);
    }));
    m_thread->start();
}

void portCheck::ended(int generation, const QStringList &identities)
{
    // A check abandoned after it had found its answer says nothing.
    if (!m_thread || generation != m_generation)
        return;
    m_thread->wait();
    m_thread.reset();
    emit checked(identities);
}

void portCheck::stop()
{
    if (!m_thread)
        return;
    // A stopped look-up returns at once; its helper is left to end alone.
    m_stop.raise();
    m_thread->wait();
    m_thread.reset();
    m_stop.clear();
    ++m_generation;
}
