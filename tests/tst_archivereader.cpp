// Reading archives from other machines: the reports of a good archive, a
// clear refusal of damaged or hostile ones, with nothing written, and which
// archives and report folders a folder given to --read stands for.

#include "findings/findings.h"
#include "reportfixture.h"
#include "shaping/hardwareshaping.h"
#include "supportzip/archivereader.h"
#include "supportzip/reportarchive.h"
#include "supportzip/sourcewalk.h"
#include "zipmaker.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

namespace {

const QString kReportFolder = QStringLiteral("logs_quillon/SupportTool/");

// A hardware report whose memory record says total GB.
QByteArray memoryReport(const char *total)
{
    return reportFile(inspectionRecords(
        hardwareshaping::processor(QString()).records
        + hardwareshaping::physicalMemory(
              QStringLiteral("\r\n\r\nTotalMemorySize     : %1\r\nAvailableMemorySize : 3\r\n").arg(QLatin1String(total)))
              .records));
}

QStringList codesOf(const findings::NewestReports &reports)
{
    QStringList codes;
    for (const findings::Finding &finding : findings::evaluate(reports.reportSet()))
        codes << finding.code;
    return codes;
}

} // namespace

class ArchiveReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void readsTheReportsOfAnArchive()
    {
        const QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("zziplog.zip"));
        const QString report = reportName(QStringLiteral("SupportLog_HardWare_"));
        QVERIFY(makeZip(archive, {{QStringLiteral("logs_quillon/"), {}},
                                  {kReportFolder + report, memoryReport("4")},
                                  // A file of that name outside a report folder is not a report.
                                  {QStringLiteral("logs_AppData_Local/") + reportName(QStringLiteral("SupportLog_HardWare_"), 59),
                                   memoryReport("64")},
                                  {QStringLiteral("logs_AppData_Local/Logs/render.log"), QByteArray(300000, 'x')}}));
        findings::NewestReports reports;
        QString problem;
        QVERIFY2(findings::readReportArchive(archive, &reports, &problem), qPrintable(problem));
        QCOMPARE(codesOf(reports), QStringList{QStringLiteral("memory-low")});

        // --read takes the same archive, and a folder or installation folder too.
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("install/logs/SupportTool")));
        QFile file(dir.filePath(QStringLiteral("install/logs/SupportTool/") + report));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(memoryReport("6")) > 0);
        file.close();
        for (const QString &path : {archive, dir.filePath(QStringLiteral("install")), dir.filePath(QStringLiteral("install/logs/SupportTool"))}) {
            findings::NewestReports read;
            QVERIFY2(findings::readReportsAt(path, &read, &problem), qPrintable(problem));
            QCOMPARE(codesOf(read), QStringList{QStringLiteral("memory-low")});
        }
    }

    void refusesDamagedOrHostileArchives_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a zip") << "text" << "Not a zip archive";
        QTest::newRow("empty file") << "empty" << "Not a zip archive";
        QTest::newRow("truncated") << "truncated" << "Not a zip archive";
        QTest::newRow("entry path with ..") << "dotdot" << "points outside the archive: \"logs/../../evil.txt\"";
        QTest::newRow("absolute entry path") << "absolute" << "points outside the archive: \"/etc/evil\"";
        QTest::newRow("huge report entry") << "huge" << "more than the 16777216";
        QTest::newRow("thousands of entries") << "many" << "holds 10001 entries, more than the 10000";
        QTest::newRow("damaged report data") << "damaged" << "is damaged";
        QTest::newRow("two entries of one name") << "samename" << "it holds two entries named \"logs/a.log\"";
        QTest::newRow("a directory of long names") << "longnames" << "its directory of entries holds 4803520 bytes, more than the 4194304";
        QTest::newRow("no report in it") << "noreport" << "holds no report";
        QTest::newRow("missing") << "missing" << "does not exist";
    }

    void refusesDamagedOrHostileArchives()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("zziplog.zip"));
        const QString report = kReportFolder + reportName(QStringLiteral("SupportLog_HardWare_"));
        const auto writeBytes = [&archive](const QByteArray &bytes) {
            QFile file(archive);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };

        if (kind == QLatin1String("text")) {
            QVERIFY(writeBytes("This is a log file, not an archive.\n"));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(writeBytes({}));
        } else if (kind == QLatin1String("truncated")) {
            QVERIFY(makeZip(archive, {{report, memoryReport("4")}, {QStringLiteral("b.log"), QByteArray(50000, 'b')}}));
            QFile file(archive);
            QVERIFY(file.resize(file.size() / 2));
        } else if (kind == QLatin1String("dotdot")) {
            QVERIFY(makeZip(archive, {{report, memoryReport("4")}, {QStringLiteral("logs/../../evil.txt"), "x"}}));
        } else if (kind == QLatin1String("absolute")) {
            QVERIFY(makeZip(archive, {{QStringLiteral("/etc/evil"), "x"}}));
        } else if (kind == QLatin1String("huge")) {
            QVERIFY(makeZip(archive, {{report, QByteArray(findings::kMaxReportBytes + 1, '\n')}}));
        } else if (kind == QLatin1String("many")) {
            ZipEntries entries;
            for (int i = 0; i <= findings::kMaxArchiveEntries; ++i)
                entries.append({QStringLiteral("logs/%1.log").arg(i), QByteArray()});
            QVERIFY(makeZip(archive, entries));
        } else if (kind == QLatin1String("damaged")) {
            const QByteArray content = memoryReport("4");
            QVERIFY(makeZip(archive, {{report, content}}, true));
            QFile file(archive);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QByteArray bytes = file.readAll();
            const int at = bytes.indexOf("TotalMemorySize");
            QVERIFY(at > 0);
            bytes[at] = 'X'; // the stored data no longer matches its checksum
            QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
        } else if (kind == QLatin1String("samename")) {
            // libzip makes no such archive: the second name is changed after.
            QVERIFY(makeZip(archive, {{QStringLiteral("logs/a.log"), "a"}, {QStringLiteral("logs/b.log"), "b"}}, true));
            QFile file(archive);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const QByteArray bytes = file.readAll().replace("logs/b.log", "logs/a.log");
            QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
        } else if (kind == QLatin1String("longnames")) {
            ZipEntries entries;
            for (int i = 0; i < 80; ++i)
                entries.append({QStringLiteral("logs/%1/").arg(i, 2, 10, QLatin1Char('0')) + QString(59990, QLatin1Char('n')), "x"});
            QVERIFY(makeZip(archive, entries));
        } else if (kind == QLatin1String("noreport")) {
            QVERIFY(makeZip(archive, {{QStringLiteral("logs/render.log"), "x"}}));
        }

        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        findings::NewestReports reports;
        QString problem;
        QVERIFY(!findings::readReportsAt(archive, &reports, &problem));
        QVERIFY2(problem.contains(reason), qPrintable(problem));
        // Nothing was extracted or written beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    }

    // An archive's reports are read one by one as they are unpacked: a
    // report saved again in UTF-16 is read, one that cannot be read is
    // named with why, and only such reports are no findings to print.
    void saysTheReportsItCannotRead()
    {
        const QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("zziplog.zip"));
        const QString text = QString::fromUtf8(memoryReport("4"));
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        const QString damaged = reportName(QStringLiteral("SupportLog_network_config_"));
        QVERIFY(makeZip(archive, {{kReportFolder + reportName(QStringLiteral("SupportLog_HardWare_")), utf16},
                                  {kReportFolder + damaged, QByteArray(5000, '\x7f')}}));
        QString problem;
        const std::optional<findings::Review> review = findings::reviewAt(archive, &problem);
        QVERIFY2(review, qPrintable(problem));
        QCOMPARE(review->reportsRead, QStringList{reportName(QStringLiteral("SupportLog_HardWare_"))});
        QCOMPARE(review->found.value(0).code, QStringLiteral("memory-low"));
        QCOMPARE(review->unread.size(), 1);
        QCOMPARE(review->unread.first().name, damaged);

        QVERIFY(makeZip(archive, {{kReportFolder + damaged, QByteArray(5000, '\x7f')}}));
        QVERIFY(!findings::reviewAt(archive, &problem));
        QVERIFY2(problem.endsWith(QStringLiteral(" holds no report the tool can read: %1 (it holds no record of the tool: it "
                                                 "is damaged, or neither UTF-8 nor UTF-16 with a byte-order mark)")
                                      .arg(damaged)),
                 qPrintable(problem));
    }

    // The reports of an archive are read up to a limit in all, whatever
    // each one holds.
    void reportsTogetherHaveALimit()
    {
        const QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("zziplog.zip"));
        QVERIFY(makeZip(archive, {{kReportFolder + reportName(QStringLiteral("SupportLog_HardWare_")), memoryReport("4")},
                                  {kReportFolder + reportName(QStringLiteral("SupportLog_HardWare_"), 1), memoryReport("5")}}));
        findings::ArchiveLimits limits;
        limits.reportBytesInAll = memoryReport("4").size() + 10;
        findings::NewestReports reports;
        QString problem;
        QVERIFY(!findings::readReportArchive(archive, &reports, &problem, limits));
        QVERIFY2(problem.contains(QStringLiteral("reports hold more than %1 bytes together").arg(limits.reportBytesInAll)),
                 qPrintable(problem));
        limits.reportBytesInAll *= 2;
        QVERIFY2(findings::readReportArchive(archive, &reports, &problem, limits), qPrintable(problem));
    }

    // A folder of archives stands for the archives and report folders below
    // it, in name order, an installation folder below it for itself; a link
    // to an archive is read, a link to a folder and a folder too deep are
    // refused, not searched. A report
    // folder, a folder holding none and a missing path stand for themselves.
    void walksAFolderOfArchives()
    {
        const QTemporaryDir dir;
        const QDir root(dir.path());
        const auto put = [&root](const QString &path, const QByteArray &content = "x") {
            root.mkpath(QFileInfo(root.filePath(path)).path());
            QFile file(root.filePath(path));
            return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
        };
        const QString report = reportName(QStringLiteral("SupportLog_HardWare_"));
        const QString deep = QStringLiteral("week/deep") + QStringLiteral("/n").repeated(findings::kMaxSearchDepth);
        for (const QString &path : {QStringLiteral("week/b.zip"), QStringLiteral("week/a.ZIP"), QStringLiteral("week/c/d.zip"),
                                    QStringLiteral("week/notes.txt"), QStringLiteral("week/inst/zziplog.zip"),
                                    QStringLiteral("week/inst/logs/SupportTool/") + report,
                                    QStringLiteral("week/x/logs_quillon/SupportTool/") + report,
                                    QStringLiteral("reports/") + report, QStringLiteral("reports/old/e.zip"),
                                    deep + QStringLiteral("/f.zip"), deep.left(deep.size() - 2) + QStringLiteral("/g.zip")})
            QVERIFY(put(path));
        QVERIFY(root.mkpath(QStringLiteral("week/empty")) && root.mkpath(QStringLiteral("nothing/here")));
#ifndef Q_OS_WIN
        // (QFile::link makes a shortcut file on Windows, no link.)
        QVERIFY(QFile::link(root.filePath(QStringLiteral("reports")), root.filePath(QStringLiteral("week/y"))));
        QVERIFY(QFile::link(root.filePath(QStringLiteral("week/b.zip")), root.filePath(QStringLiteral("week/z.zip"))));
#endif

        findings::SourceWalk walk({root.filePath(QStringLiteral("week")), root.filePath(QStringLiteral("reports")),
                                   root.filePath(QStringLiteral("nothing")), root.filePath(QStringLiteral("missing"))});
        QStringList sources;
        while (const std::optional<findings::ReadSource> source = walk.next()) {
            const QString path = QDir::fromNativeSeparators(source->path);
            sources << (path.startsWith(dir.path()) ? path.mid(dir.path().size() + 1) : path)
                           + (source->given ? QStringLiteral(" (given)") : QString())
                           + (source->problem.isEmpty() ? QString() : QStringLiteral(" refused: ") + source->problem);
        }
        const QString deepest = root.filePath(deep);
        QStringList expected{QStringLiteral("week/a.ZIP"), QStringLiteral("week/b.zip"), QStringLiteral("week/c/d.zip"),
                             deep.left(deep.size() - 2) + QStringLiteral("/g.zip"),
                             deep + QStringLiteral(" refused: %1 is not searched: it lies more than %2 folders below %3")
                                        .arg(QDir::toNativeSeparators(deepest))
                                        .arg(findings::kMaxSearchDepth)
                                        .arg(QDir::toNativeSeparators(root.filePath(QStringLiteral("week")))),
                             QStringLiteral("week/inst"), QStringLiteral("week/x/logs_quillon/SupportTool")};
#ifndef Q_OS_WIN
        expected << QStringLiteral("week/y refused: %1 is a link to a folder, which is not searched below "
                                   "%2: give it as a path of its own")
                        .arg(QDir::toNativeSeparators(root.filePath(QStringLiteral("week/y"))),
                             QDir::toNativeSeparators(root.filePath(QStringLiteral("week"))))
                 << QStringLiteral("week/z.zip");
#endif
        expected << QStringLiteral("reports (given)") << QStringLiteral("nothing (given)") << QStringLiteral("missing (given)");
        QCOMPARE(sources, expected);
    }

    void entryNamesThatStayInside_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("inside");
        QTest::newRow("report") << "logs_quillon/SupportTool/SupportLog_zip_20240501-100000.1" << true;
        QTest::newRow("dots in a name") << "logs/a..b/..c" << true;
        QTest::newRow("parent") << "../x" << false;
        QTest::newRow("parent, backslash") << "logs\\..\\..\\x" << false;
        QTest::newRow("drive") << "C:/Windows/x" << false;
        QTest::newRow("root, backslash") << "\\x" << false;
    }

    void entryNamesThatStayInside()
    {
        QFETCH(QString, name);
        QFETCH(bool, inside);
        QCOMPARE(archivereader::staysInside(name), inside);
    }
};

QTEST_GUILESS_MAIN(ArchiveReaderTest)
#include "tst_archivereader.moc"
