// The shareable copy of an archive: none of the real values left in any
// entry or entry name, the same stand-in for a value in every entry, the
// binary entries left out and named in the note, the map beside the copy
// and never in it; and a copy that cannot be written leaves no file.

#include "hostilefolders.h"
#include "network.h"
#include "reportfixture.h"
#include "shaping/softwareshaping.h"
#include "supportzip/archivereader.h"
#include "supportzip/shareablecopy.h"
#include "archivesupport.h"
#include "testsupport.h"
#include "zipmaker.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace testsupport;

namespace {

const QString kBinaryEntry = QStringLiteral("logs_AppData_Local/Crashes/minidump.dmp");

// The network report the tool writes from the stand-in's ipconfig layout.
QByteArray networkReport()
{
    powershell::NetworkFacts facts;
    facts.hostName = QStringLiteral("DESKTOP-7F3A");
    facts.primaryDnsSuffix = QStringLiteral("corp.example");
    facts.searchList = QStringList{QStringLiteral("corp.example"), QStringLiteral("lab.example")};
    facts.connectionDnsSuffix = QStringLiteral("lan");
    powershell::NetworkAdapter adapter;
    adapter.kind = QStringLiteral("Ethernet");
    adapter.name = QStringLiteral("eth0");
    adapter.physicalAddress = QStringLiteral("00:1a:2b:3c:4d:5e");
    adapter.connected = true;
    adapter.ipv4.append({QStringLiteral("eth0"), QStringLiteral("192.168.1.20"), QStringLiteral("255.255.255.0")});
    adapter.ipv6.append({QStringLiteral("2001:db8:85a3::8a2e:370:7334"), 0, 0});
    adapter.defaultGateways << QStringLiteral("192.168.1.1");
    facts.adapters.append(adapter);
    const QString output = QStringLiteral("\r\n") + powershell::ipconfigLines(facts).join(QStringLiteral("\r\n"));
    return reportFile(inspectionRecords(softwareshaping::networkStatus(output).records));
}

// The real values in every kind of place: reports and logs, upper- and
// lower-case MACs, addresses inside words, a user name that is a word.
ZipEntries archiveEntries()
{
    return {{QStringLiteral("logs_quillon/"), {}},
            {QStringLiteral("logs_quillon/SupportTool/") + reportName(QStringLiteral("SupportLog_network_config_")),
             networkReport()},
            {QStringLiteral("logs_AppData_Local/Logs/render.log"),
             "LogInit: machine desktop-7f3a, user Render, home C:\\Users\\render\\AppData\\Local\r\n"
             "LogNet: 192.168.1.20:7777 via 00:1A:2B:3C:4D:5E (srv192.168.1.20x), 2001:DB8:85A3::8a2e:370:7334\r\n"
             "LogNet: nas.studio.lan, fileserver.corp.example, wifi.lan; a plan to render\r\n"
             + QByteArray(9000, '-') + "\r\nLast line: RENDER on DESKTOP-7F3A\r\n"},
            {QStringLiteral("logs_AppData_Local/Logs/render-session.log"), "session of render on testhost\n"},
            // Its name is render.log's cleaned name.
            {QStringLiteral("logs_AppData_Local/Logs/user0.log"), "an older log\n"},
            {QStringLiteral("logs_AppData_Local/Logs/latin1.log"),
             "Running on machine: buildbox\nBenutzer: render \xe4nderte 192.168.1.1\n"},
            {kBinaryEntry, QByteArray("MDMP", 4) + QByteArray(2, '\0') + "\x01render DESKTOP-7F3A"}};
}

shareable::KnownNames givenNames()
{
    shareable::KnownNames names;
    names.userNames = QStringList{QStringLiteral("render")};
    names.hostNames = QStringList{QStringLiteral("nas.studio.lan")};
    return names; // the computer's names and the suffixes come from the report
}

// Names match as whole words in any case; addresses anywhere.
const QStringList kRealNames{"DESKTOP-7F3A", "testhost", "buildbox", "render", "corp.example", "lab.example", "studio.lan", "lan"};
const QStringList kRealAddresses{"192.168.1.20", "192.168.1.1", "00:1a:2b:3c:4d:5e", "00-1a-2b-3c-4d-5e",
                                 "2001:db8:85a3::8a2e:370:7334"};

QStringList leftovers(const QString &where, const QString &text)
{
    QStringList found;
    for (const QString &name : kRealNames) {
        const QRegularExpression word(QStringLiteral("(?<![\\w])%1(?![\\w])").arg(QRegularExpression::escape(name)),
                                      QRegularExpression::CaseInsensitiveOption);
        if (text.contains(word))
            found << where + QStringLiteral(": ") + name;
    }
    for (const QString &address : kRealAddresses) {
        if (text.contains(address, Qt::CaseInsensitive))
            found << where + QStringLiteral(": ") + address;
    }
    return found;
}

// Writes the copy of dir's zziplog.zip, and its map, into dir.
shareablecopy::Outcome writeCopy(const QTemporaryDir &dir, bool stopped = false)
{
    const std::atomic<bool> stop{stopped};
    return shareablecopy::write(dir.filePath(QStringLiteral("zziplog.zip")), dir.filePath(shareablecopy::copyName()),
                                dir.filePath(shareablecopy::mapName()), givenNames(), stop);
}

} // namespace

class ShareableCopyTest : public QObject
{
    Q_OBJECT

private slots:
    void copyHoldsNoRealValue()
    {
        const QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("zziplog.zip"));
        QVERIFY(makeZip(archive, archiveEntries()));
        const shareablecopy::Outcome outcome = writeCopy(dir);
        QVERIFY2(outcome.status == shareablecopy::Outcome::Status::Written, qPrintable(outcome.problem));
        QCOMPARE(outcome.textEntries, 5);
        QCOMPARE(outcome.leftOut, QStringList{QStringLiteral("logs_AppData_Local/Crashes/minidump.dmp")});

        QString problem;
        const std::optional<archivereader::ArchiveReader> copy =
            archivereader::ArchiveReader::open(dir.filePath(shareablecopy::copyName()), 100, &problem);
        QVERIFY2(copy, qPrintable(problem));
        QMap<QString, QString> texts;
        QStringList found;
        for (int i = 0; i < copy->entries().size(); ++i) {
            QByteArray content;
            QVERIFY2(copy->read(i, 1 << 20, &content, &problem), qPrintable(problem));
            const QString name = copy->entries().at(i).name;
            texts.insert(name, QString::fromLatin1(content));
            found << leftovers(QStringLiteral("name"), name) << leftovers(name, texts.value(name));
        }
        QCOMPARE(found, QStringList());
        QCOMPARE(texts.keys(),
                 (QStringList{"logs_AppData_Local/Logs/latin1.log", "logs_AppData_Local/Logs/user0-session.log",
                              "logs_AppData_Local/Logs/user0.log", "logs_AppData_Local/Logs/user0~2.log", "logs_quillon/",
                              "logs_quillon/SupportTool/" + reportName(QStringLiteral("SupportLog_network_config_")),
                              "shareable_copy_note.txt"}));
        QVERIFY(texts.value("shareable_copy_note.txt").endsWith("Left out because they are not text (1):\n" + kBinaryEntry + "\n"));

        // One stand-in for one value in every entry, as the map says.
        const QString map = QString::fromUtf8(readFile(dir.filePath(shareablecopy::mapName())));
        const QString report = texts.value("logs_quillon/SupportTool/" + reportName(QStringLiteral("SupportLog_network_config_")));
        const QString log = texts.value("logs_AppData_Local/Logs/user0.log");
        for (const auto &line : {"host0\tcomputer name\tDESKTOP-7F3A", "10.0.0.1\tIPv4 address\t192.168.1.20",
                                 "02-00-00-00-00-01\thardware address\t00-1A-2B-3C-4D-5E",
                                 "fd00:0:0:1::1\tIPv6 address\t2001:db8:85a3::8a2e:370:7334"}) {
            const QString standIn = QString::fromLatin1(line).section(QLatin1Char('\t'), 0, 0);
            QVERIFY2(map.contains(QLatin1String(line)), qPrintable(map));
            QVERIFY2(report.contains(standIn), line);
        }
        // The log has them too, the MAC address in the colon form it stood in.
        QCOMPARE(texts.value("logs_AppData_Local/Logs/user0~2.log"), QStringLiteral("an older log\n"));
        QVERIFY2(log.startsWith("LogInit: machine host0, user user0, home C:\\Users\\user0\\AppData\\Local\r\n"
                                "LogNet: 10.0.0.1:7777 via 02:00:00:00:00:01 (srv10.0.0.1x), fd00:0:0:1::1\r\n"
                                "LogNet: host3.domain3, fileserver.domain0, wifi.domain2; a plan to user0\r\n"),
                 qPrintable(log.left(300)));
        // The map stays out of the copy: none of its lines is there.
        for (const QString &text : texts)
            QVERIFY(!text.contains(QStringLiteral("stand-in\tkind\treal value")));
    }

    void failureLeavesNoFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        const int failed = int(shareablecopy::Outcome::Status::Failed);
        QTest::newRow("a folder in the copy's place") << "copy folder" << failed;
        QTest::newRow("a folder in the map's place") << "map folder" << failed;
        QTest::newRow("an entry damaged past its start") << "damaged" << failed;
        QTest::newRow("a folder nobody may write to") << "read-only" << failed;
        QTest::newRow("stopped") << "stop" << int(shareablecopy::Outcome::Status::Cancelled);
    }
    void failureLeavesNoFile()
    {
        QFETCH(QString, fault);
        QFETCH(int, status);
        const QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("zziplog.zip"));
        QVERIFY(makeZip(archive, archiveEntries(), true));
        if (fault == QLatin1String("damaged")) {
            QFile file(archive);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QByteArray bytes = file.readAll();
            bytes.replace("Last line", "Past line");
            QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
        }
        if (fault.endsWith(QLatin1String("folder")))
            QVERIFY(QDir(dir.path()).mkdir(fault.startsWith(QLatin1String("copy")) ? shareablecopy::copyName()
                                                                                   : shareablecopy::mapName()));
        // A copy made before stays as it was when the new one fails.
        const bool earlierCopy = !fault.endsWith(QLatin1String("folder"));
        if (earlierCopy) {
            QFile earlier(dir.filePath(shareablecopy::copyName()));
            QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
        }
        const QStringList before = testsupport::folderEntries(dir.path());
        std::optional<ReadOnlyFolders> readOnly;
        if (fault == QLatin1String("read-only")) {
            readOnly.emplace(QStringList{dir.path()});
            QVERIFY2(readOnly->problem().isEmpty(), qPrintable(readOnly->problem()));
        }

        const shareablecopy::Outcome outcome = writeCopy(dir, fault == QLatin1String("stop"));
        QCOMPARE(int(outcome.status), status);
        QVERIFY(!outcome.problem.isEmpty());
        QCOMPARE(testsupport::folderEntries(dir.path()), before);
        if (earlierCopy)
            QCOMPARE(readFile(dir.filePath(shareablecopy::copyName())), QByteArray("earlier"));
    }

    // A link or a pipe under the copy's or the map's name is replaced, never
    // written through or waited on.
    void oddEntriesAreReplaced()
    {
        const QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("zziplog.zip"));
        QVERIFY(makeZip(archive, archiveEntries()));
        const QString bystander = dir.filePath(QStringLiteral("bystander.txt"));
        QFile file(bystander);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep") == 4);
        file.close();
        QVERIFY(QFile::link(bystander, dir.filePath(shareablecopy::copyName())));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(shareablecopy::mapName())).constData(), 0600), 0);

        const shareablecopy::Outcome outcome = writeCopy(dir);
        QVERIFY2(outcome.status == shareablecopy::Outcome::Status::Written, qPrintable(outcome.problem));
        QCOMPARE(readFile(bystander), QByteArray("keep"));
        for (const QString &name : {shareablecopy::copyName(), shareablecopy::mapName()}) {
            const QFileInfo written(dir.filePath(name));
            QVERIFY2(written.isFile() && !written.isSymLink() && written.size() > 0, qPrintable(name));
        }
    }
};

QTEST_MAIN(ShareableCopyTest)
#include "tst_shareablecopy.moc"
