// Reports that lose records are named: a report whose file holds all that
// was written to it is not, one whose file could not be created is, once,
// by that file and the reason. A report run again within one second gets a
// file of its own. (A file cut short by a full disk is the runner's test.)

#include "records/records.h"
#include "reports/reportwrites.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
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

    // After a file it could not create, the library tries again only at
    // every 32nd record, whatever the prefix: each test starts with a file
    // the library could create.
    void cleanup()
    {
        records::switchReport(m_scratch.filePath(QStringLiteral("SupportLog_scratch_")));
        for (int i = 0; i < 32; ++i)
            records::info(records::kMain, 1, QStringLiteral("scratch"));
        reportwrites::newlyUnwritten();
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
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(
                                        QStringLiteral("The report %1\\d{8}-\\d{6}\\.%2 could not be written \\(its "
                                                       "folder %3 is not there\\), so none of its records \\(1\\) was kept\\.")
                                            .arg(QRegularExpression::escape(QDir::toNativeSeparators(missing)))
                                            .arg(QCoreApplication::applicationPid())
                                            .arg(QRegularExpression::escape(
                                                QDir::toNativeSeparators(folder.filePath(QStringLiteral("gone")))))))
                     .match(lines.first())
                     .hasMatch(),
                 qPrintable(lines.first()));
        records::info(records::kMain, 5, QStringLiteral("lost too"));
        QCOMPARE(reportwrites::newlyUnwritten(), QStringList());
    }

    // A report holds exactly the bytes of its records, on Windows as
    // elsewhere: the library's own line ends are "\n", and console output
    // copied with its own "\r\n" keeps them, none doubled.
    void reportHoldsItsRecordsBytes()
    {
        const QTemporaryDir folder;
        records::switchReport(folder.filePath(QStringLiteral("SupportLog_bytes_")));
        const QByteArray console = "Pinging 127.0.0.1 with 32 bytes of data:\r\n"
                                   "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n";
        records::info(records::kMain, 1, QStringLiteral("two\nlines"));
        records::writeBytes(records::Level::Info, records::kMainWindow, 159, console);
        const QStringList files = QDir(folder.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const QByteArray content = testsupport::readFile(folder.filePath(files.first()));
        QCOMPARE(content.count('\r'), console.count('\r'));
        QVERIFY2(content.contains(" main.cpp:1] two\nlines\nI") && content.endsWith(" mainwindow.cpp:159] " + console),
                 content.constData());
    }

    // The same report again within the second its file was begun in: the
    // switch waits for the next second, so the second run gets a file of
    // its own, in the usual layout, and neither loses a record.
    void sameReportAgainWithinOneSecond()
    {
        const QTemporaryDir folder;
        const QString software = folder.filePath(QStringLiteral("SupportLog_software_"));
        for (const QString &prefix : {software, folder.filePath(QStringLiteral("SupportLog_other_")), software}) {
            records::switchReport(prefix);
            records::info(records::kMain, 1, QStringLiteral("run"));
        }
        QCOMPARE(reportwrites::newlyUnwritten(), QStringList());
        const QStringList files =
            QDir(folder.path()).entryList({QStringLiteral("SupportLog_software_*")}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 2);
        const QRegularExpression layout(QRegularExpression::anchoredPattern(
            QStringLiteral("SupportLog_software_\\d{8}-\\d{6}\\.%1").arg(QCoreApplication::applicationPid())));
        for (const QString &file : files) {
            QVERIFY2(layout.match(file).hasMatch(), qPrintable(file));
            QCOMPARE(testsupport::recordsOf(folder.filePath(file)).size(), 1);
        }
    }

    // A report whose every possible name is taken is named by the file it
    // should have had (not by the file an earlier run of it wrote), and why.
    void reportWhoseNameIsTakenIsNamed()
    {
        const QTemporaryDir folder;
        const QString prefix = folder.filePath(QStringLiteral("SupportLog_taken_"));
        records::switchReport(prefix);
        records::info(records::kMain, 1, QStringLiteral("kept"));
        records::switchReport(folder.filePath(QStringLiteral("SupportLog_between_")));
        records::info(records::kMain, 2, QStringLiteral("kept"));
        QCOMPARE(reportwrites::newlyUnwritten(), QStringList());

        QStringList taken;
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = 0; second < 5; ++second) {
            const QString name =
                records::reportFileName(prefix, now.addSecs(second).toString(QStringLiteral("yyyyMMdd-HHmmss")));
            if (QFileInfo::exists(name))
                continue; // the first run's report
            QVERIFY(QDir().mkpath(name));
            taken << QDir::toNativeSeparators(name); // the texts name files as the system does
        }
        records::switchReport(prefix);
        records::info(records::kMain, 3, QStringLiteral("lost"));
        const QStringList lines = reportwrites::newlyUnwritten();
        QCOMPARE(lines.size(), 1);
        const QString suffix = QStringLiteral(" could not be written (its name is taken by a folder), so none of its "
                                              "records (1) was kept.");
        QVERIFY2(lines.first().endsWith(suffix), qPrintable(lines.first()));
        const QString named = lines.first().mid(11).chopped(suffix.size());
        QVERIFY2(lines.first().startsWith(QStringLiteral("The report ")) && taken.contains(named),
                 qPrintable(lines.first()));
    }

private:
    const QTemporaryDir m_scratch;
};

QTEST_GUILESS_MAIN(ReportWritesTest)
#include "tst_reportwrites.moc"
