#include "testsupport.h"

#include <QtTest>

class SmokeTest : public QObject
{
    Q_OBJECT
private slots:
    void builds() { QVERIFY(QFile::exists(QStringLiteral(SUPPORTTOOL_BINARY))); }
};

QTEST_MAIN(SmokeTest)
#include "tst_smoke.moc"
