// Reports that lose records are named: a report whose file holds all that
// was written to it is not, one whose file could not be created is, once.
// (A file cut short by a full disk is the runner's test.)

#include "records/records.h"
#include "reports/reportwrites.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class ReportWritesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::initLogging();
        reportwrites::watch();
    }

    void unwrittenReportsAreNamedOnce()
    {
        const QTemporaryDir folder;
        // Whole records, one of several lines and one that looks like a
        // record of its own inside another.
        records::switchReport(folder.filePath(QStringLiteral("SupportLog_whole_")));
        records::info(records::kMain, 1, QStringLiteral("one line"));
        records::warning(records::kMain, 2, QStringLiteral("two\nlines\n"));
        records::info(records::kMain, 3, QStringLiteral("before\nI20240501 10:15:00.123456 4242 x.cpp:1] inside"));
        QCOMPARE(reportwrites::newlyUnwritten(), QStringList());

        const QString missing = folder.filePath(QStringLiteral("gone/SupportLog_missing_"));
        records::switchReport(missing);
        records::info(records::kMain, 4, QStringLiteral("lost"));
        const QStringList lines = reportwrites::newlyUnwritten();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first(),
                 QStringLiteral("The report %1* could not be written: its file could not be created, so none of "
                                "its records (1) was kept.")
                     .arg(QDir::toNativeSeparators(missing)));
        records::info(records::kMain, 5, QStringLiteral("lost too"));
        QCOMPARE(reportwrites::newlyUnwritten(), QStringList());
    }
};

QTEST_GUILESS_MAIN(ReportWritesTest)
#include "tst_reportwrites.moc"
