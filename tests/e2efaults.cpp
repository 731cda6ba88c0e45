#include "e2erig.h"
#include <QtTest>
class tst_e2efaults : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};
QTEST_GUILESS_MAIN(tst_e2efaults)
#include "e2efaults.moc"
