// The combined actions with everything real: the stand-ins answering, the
// system's ping and route tracer on 127.0.0.1, local HTTP and HTTPS servers
// for the six endpoints, and the system's 7-Zip making the archive.

#include "archivesupport.h"
#include "environmentvalue.h"
#include "findings/findingsfile.h"
#include "findings/findingstext.h"
#include "localhttpserver.h"
#include "network/serverendpoints.h"
#include "networksettings.h"
#include "recordsummary.h"
#include "reportkinds.h"
#include "reporttexts.h"
#include "supportzip/archivereader.h"
#include "supportzip/reportarchive.h"
#include "testsupport.h"
#include "textpattern.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSysInfo>
#include <QtTest>

using namespace testsupport;
using Transport = LocalHttpServer::Transport;

namespace {

const QString kAddressTestsDone = QStringLiteral("ping and traceout finished, test server....");
const QString kConfigurationStart = QStringLiteral("Start to test your Network Configuration");
const QString kTarget = QStringLiteral("127.0.0.1");
// One report of each inspection action, sorted by name.
const QString kInspectionReports =
    QStringLiteral("SupportLog_HardWare_, SupportLog_network_config_, SupportLog_network_server_, "
                   "SupportLog_network_speedTest_, SupportLog_software_confliction_");
const QString kFindingsFile = QStringLiteral(", findings.txt");

// Local servers for the six endpoints: all answer 200 but the third, which
// answers 404; the settings file of the installation points at them and
// lists 127.0.0.1 as the only address to test.
class LocalEndpoints
{
public:
    explicit LocalEndpoints(const InstallFolder &folder)
    {
        const QList<LocalHttpServer *> servers{&m_plain, &m_tls, &m_tlsMissing, &m_plain, &m_tls, &m_plain};
        for (LocalHttpServer *server : servers)
            m_hosts << server->hostAndPort();
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         addressGroup({kTarget}) + "[downloadConfig]\nsize=10MB\n" + serverHostsGroup(m_hosts, 2));
    }
    static bool answered(int endpoint) { return endpoint != 2; }
    QString baseUrl(int endpoint) const
    {
        const serverendpoints::Endpoint &each = serverendpoints::all().at(endpoint);
        return each.scheme + QStringLiteral("://") + m_hosts.at(endpoint) + each.basePath;
    }

private:
    const HttpAnswer m_ok{200, "OK", "{\"test\": true}", {}, -1};
    LocalHttpServer m_plain{Transport::Plain, m_ok};
    LocalHttpServer m_tls{Transport::Tls, m_ok};
    LocalHttpServer m_tlsMissing{Transport::Tls, HttpAnswer{404, "Not Found", "gone", {}, -1}};
    QStringList m_hosts;
};

QList<Record> onlyReport(const QString &namePrefix)
{
    const QStringList files = reportFiles(namePrefix);
    return files.size() == 1 ? recordsOf(files.first()) : QList<Record>();
}

// What the stand-in cmd's console says before it runs a tool on a target.
QString consoleEcho(const QString &command, const QString &resultFile)
{
    return QStringLiteral("\r\n%1>(%2 %3  1>>%4 )\r\n")
        .arg(QDir::toNativeSeparators(QDir::currentPath()), command, kTarget, resultFile);
}

// Builds the expected pane text append by append.
class PaneAppends
{
public:
    PaneAppends &text(const QString &appended)
    {
        separate();
        m_pattern.literal(appended);
        return *this;
    }
    PaneAppends &number()
    {
        separate();
        m_pattern.number();
        return *this;
    }
    // The next append's pattern is written into by the caller.
    TextPattern &next()
    {
        separate();
        return m_pattern;
    }
    const TextPattern &pattern() const { return m_pattern; }

private:
    void separate()
    {
        if (m_started)
            m_pattern.literal(QStringLiteral("\n"));
        m_started = true;
    }
    TextPattern m_pattern;
    bool m_started = false;
};

void expectServerLines(PaneAppends &pane, const LocalEndpoints &endpoints)
{
    for (int i = 0; i < serverendpoints::all().size(); ++i) {
        const QString what = serverendpoints::all().at(i).test == serverendpoints::Test::Download
                                 ? QStringLiteral("download file")
                                 : QStringLiteral("query API");
        if (LocalEndpoints::answered(i)) {
            pane.text(what + QStringLiteral(" done from ")).text(endpoints.baseUrl(i)).text(QStringLiteral(" in "));
            pane.number().text(QStringLiteral(" ms \n"));
        } else {
            pane.text(what + QStringLiteral(" fail from ")).text(endpoints.baseUrl(i)).text(QStringLiteral(" failed \n"));
        }
    }
}

QString mainWindowPlace(int line) { return QStringLiteral("I mainwindow.cpp:%1").arg(line); }

} // namespace

class EndToEndCombinedTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initWindowTests();
        appendStandInsToPath();
    }

    void getSystemInfoRunsTheThreeActions()
    {
        const InstallFolder folder;
        const UserDataFolder user;
        const NoDesktop noDesktop;
        const LocalEndpoints endpoints(folder);

        MainWindow window;
        const QString before = paneText(window);
        window.GetSystemInfo();
        QVERIFY(idle(window));

        // One report of each inspection action and the findings, nothing else left behind.
        QCOMPARE(reportKinds(), kInspectionReports + kFindingsFile);
        for (const QString &gone : {QStringLiteral("ipconfig.txt"), QStringLiteral("downloadConfig.txt")})
            QVERIFY2(!QFileInfo::exists(gone), qPrintable(gone));

        // The runner's warnings of the ping and route loops come before the
        // network action's first switch, so the software report has them.
        const QList<Record> software = onlyReport(QStringLiteral("SupportLog_software_confliction_"));
        const QString runner = QStringLiteral("W displaysystemrelatedinfo.cpp:46");
        const QStringList softwarePlaces = placesOf(software);
        QCOMPARE(softwarePlaces.size(), 5);
        QCOMPARE(softwarePlaces.mid(0, 2), (QStringList{runner, QStringLiteral("I displaysystemrelatedinfo.cpp:464")}));
        QCOMPARE(softwarePlaces.mid(3), (QStringList{runner, runner}));

        // The system's tools wrote about 127.0.0.1, copied into the speed-test report.
        const QList<Record> speedTest = onlyReport(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(placesOf(speedTest), (QStringList{mainWindowPlace(155), mainWindowPlace(159), mainWindowPlace(161),
                                                   mainWindowPlace(163), mainWindowPlace(167), mainWindowPlace(169)}));
        QVERIFY2(speedTest.at(1).text.contains(QStringLiteral("--- 127.0.0.1 ping statistics ---")),
                 qPrintable(speedTest.at(1).text));
        // traceroute names the address, tracepath (where it stands in) the host name.
        QVERIFY2(speedTest.at(4).text.contains(kTarget) || speedTest.at(4).text.contains(QLatin1String("localhost")),
                 qPrintable(speedTest.at(4).text));

        const QList<Record> server = onlyReport(QStringLiteral("SupportLog_network_server_"));
        QCOMPARE(placesOf(server), (QStringList{mainWindowPlace(325), mainWindowPlace(325), mainWindowPlace(318),
                                                mainWindowPlace(325), mainWindowPlace(354), mainWindowPlace(354),
                                                mainWindowPlace(364)}));

        // The pane: hardware texts, the process list, the console echoes of
        // the two loops, the server lines, then the configuration texts.
        const QStringList hardware = hardwarePaneTexts(onlyReport(QStringLiteral("SupportLog_HardWare_")));
        QCOMPARE(hardware.size(), 8);
        PaneAppends pane;
        for (const QString &text : hardware)
            pane.text(text);
        expectProcessText(pane.next(), software);
        pane.text(asPaneShows(consoleEcho(QStringLiteral("ping -n 4"), QStringLiteral("./logs/SupportTool/pingResult.txt"))));
        pane.text(asPaneShows(consoleEcho(QStringLiteral("tracert"), QStringLiteral("./logs/SupportTool/tracertResult.txt"))));
        pane.text(kAddressTestsDone);
        expectServerLines(pane, endpoints);
        pane.text(kConfigurationStart);
        expectConfigurationTexts(pane.next(), onlyReport(QStringLiteral("SupportLog_network_config_")));

        // Then the findings block, drawn from these reports.
        const QString added = addedPaneText(before, paneText(window));
        QVERIFY2(pane.pattern().matches(withoutFindingsBlock(added)),
                 qPrintable(QStringLiteral("pane:\n%1\n\nexpected:\n%2").arg(added, pane.pattern().expression())));
        QVERIFY(added.endsWith(QLatin1Char('\n') + findings::paneBlock(findings::review(findings::installationReports()))));
    }

    void gatherAndZipAtOnceArchivesThisRunsReports()
    {
        const InstallFolder folder;
        const UserDataFolder user;
        const NoDesktop noDesktop;
        const LocalEndpoints endpoints(folder);

        MainWindow window;
        window.gatherAndZipAtOnce();
        QVERIFY(idle(window));

        QCOMPARE(reportKinds(), kInspectionReports + QStringLiteral(", SupportLog_zip_") + kFindingsFile);

        // Every report of this run is in the archive, under the copy's name.
        QStringList archivedReports;
        for (const QString &entry : archiveEntries(QStringLiteral("zziplog.zip"))) {
            if (entry.startsWith(QLatin1String("logs_quillon/SupportTool/")))
                archivedReports << entry.mid(int(qstrlen("logs_quillon/SupportTool/")));
        }
        archivedReports.sort();
        QCOMPARE(archivedReports, QDir(QStringLiteral("logs/SupportTool")).entryList(QDir::Files, QDir::Name));

        QString archive = QDir::currentPath() + QStringLiteral("/zziplog.zip");
        archive.replace(QLatin1Char('/'), QLatin1Char('\\'));
        const QStringList lines = withoutFindingsBlock(paneText(window)).split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(lines.size() - 5, 4),
                 (QStringList{QStringLiteral("Start Zipping..."),
                              QStringLiteral("All the logs have been packed and zipped into \"zziplog.zip\" under your "
                                             "Tessaly render installation folder"),
                              QStringLiteral("file path: ") + QDir::currentPath(),
                              QStringLiteral("explorer.exe /select, ") + archive}));
        // Then where the shareable copy went: it holds every entry of the
        // archive, cleaned, and this machine's name in none of them.
        const QString copy = QDir::current().absoluteFilePath(QStringLiteral("zziplog_shareable.zip"));
        QVERIFY2(lines.last().startsWith(QStringLiteral("Shareable copy without personal data: ") + copy), qPrintable(lines.last()));
        QString problem;
        const std::optional<archivereader::ArchiveReader> shared = archivereader::ArchiveReader::open(copy, 1000, &problem);
        QVERIFY2(shared, qPrintable(problem));
        QCOMPARE(shared->entries().size(), archiveEntries(QStringLiteral("zziplog.zip")).size() + 1);
        const QRegularExpression hostName(QStringLiteral("(?<!\\w)%1(?!\\w)").arg(QRegularExpression::escape(QSysInfo::machineHostName())),
                                          QRegularExpression::CaseInsensitiveOption);
        for (int i = 0; i < shared->entries().size(); ++i) {
            QByteArray content;
            QVERIFY2(shared->read(i, 64 << 20, &content, &problem), qPrintable(problem));
            QVERIFY2(!QString::fromUtf8(content).contains(hostName), qPrintable(shared->entries().at(i).name));
        }
        QVERIFY(readFile(QStringLiteral("zziplog_shareable_map.txt")).contains("\tcomputer name\t" + QSysInfo::machineHostName().toUtf8()));
        // Support reads the copy's findings as the archive's.
        findings::NewestReports fromCopy;
        QVERIFY2(findings::readReportArchive(copy, &fromCopy, &problem), qPrintable(problem));

        // The archive carries the findings file, and reading the archive
        // as support would gives the same findings; the pane ends with them.
        const std::optional<archivereader::ArchiveReader> reader =
            archivereader::ArchiveReader::open(QStringLiteral("zziplog.zip"), 100, &problem);
        QVERIFY2(reader, qPrintable(problem));
        QByteArray archivedFindings;
        for (int i = 0; i < reader->entries().size(); ++i) {
            if (reader->entries().at(i).name == QLatin1String("logs_quillon/SupportTool/findings.txt"))
                QVERIFY(reader->read(i, 100000, &archivedFindings, &problem));
        }
        QCOMPARE(archivedFindings, readFile(findingsfile::path()));

        findings::NewestReports archived;
        QVERIFY2(findings::readReportArchive(QStringLiteral("zziplog.zip"), &archived, &problem), qPrintable(problem));
        const findings::Review found = findings::review(archived.reportSet());
        QCOMPARE(QString::fromUtf8(archivedFindings), findings::fileText(found));
        QVERIFY(paneText(window).endsWith(QLatin1Char('\n') + findings::paneBlock(found)));
        QCOMPARE(findings::evaluate(fromCopy.reportSet()).size(), found.found.size());
        // The one finding this test controls: the endpoint answering 404.
        QVERIFY2(archivedFindings.contains(("server " + endpoints.baseUrl(2) + " could not be reached").toUtf8()),
                 archivedFindings.constData());
    }
};

QTEST_MAIN(EndToEndCombinedTest)
#include "tst_endtoend_combined.moc"
