// The shareable copy of an archive: none of the real values left in any
// entry or entry name, the same stand-in for a value in every entry, the
// binary entries left out and named in the note, the map beside the copy
// and never in it; and a copy that cannot be written leaves no file.

#include "reportfixture.h"
#include "shaping/softwareshaping.h"
#include "supportzip/archivereader.h"
#include "supportzip/shareablecopy.h"
#include "archivesupport.h"
#include "testsupport.h"
#include "zipmaker.h"
#ifndef Q_OS_WIN
#include "hostilefolders.h"
#endif

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace testsupport;

namespace {

const QString kBinaryEntry = QStringLiteral("logs_AppData_Local/Crashes/minidump.dmp");

// The network report the tool writes from "ipconfig /all" (the layout the
// stand-in prints for one Ethernet adapter, written out so that the test
// needs no stand-in and runs on Windows as well).
QByteArray networkReport()
{
    const QString output = QStringLiteral(
        "\r\n"
        "\r\n"
        "Windows IP Configuration\r\n"
        "\r\n"
        "   Host Name . . . . . . . . . . . . : DESKTOP-7F3A\r\n"
        "   Primary Dns Suffix. . . . . . . . : corp.example\r\n"
        "   IP Routing Enabled. . . . . . . . : No\r\n"
        "   WINS Proxy Enabled. . . . . . . . : No\r\n"
        "   DNS Suffix Search List. . . . . . : corp.example\r\n"
        "                                       lab.example\r\n"
        "\r\n"
        "Ethernet adapter eth0:\r\n"
        "\r\n"
        "   Connection-specific DNS Suffix. . : lan\r\n"
        "   Description . . . . . . . . . . . : \r\n"
        "   Physical Address. . . . . . . . . : 00-1A-2B-3C-4D-5E\r\n"
        "   DHCP Enabled. . . . . . . . . . . : No\r\n"
        "   Autoconfiguration Enabled . . . . : No\r\n"
        "   IPv6 Address. . . . . . . . . . . : 2001:db8:85a3::8a2e:370:7334(Preferred) \r\n"
        "   IPv4 Address. . . . . . . . . . . : 192.168.1.20(Preferred) \r\n"
        "   Subnet Mask . . . . . . . . . . . : 255.255.255.0\r\n"
        "   Default Gateway . . . . . . . . . : 192.168.1.1\r\n"
        "   NetBIOS over Tcpip. . . . . . . . : Disabled");
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

// Names stand as whole words: not beside a letter or digit ("_" is no
// part of a word here: "Saved_render.log").
QStringList leftovers(const QString &where, const QString &text, const QStringList &realNames = kRealNames,
                      const QStringList &realAddresses = kRealAddresses)
{
    QStringList found;
    for (const QString &name : realNames) {
        const QRegularExpression word(
            QStringLiteral("(?<![\\p{L}\\p{N}])%1(?![\\p{L}\\p{N}])").arg(QRegularExpression::escape(name)),
            QRegularExpression::CaseInsensitiveOption);
        if (text.contains(word))
            found << where + QStringLiteral(": ") + name;
    }
    for (const QString &address : realAddresses) {
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

// The entries of the copy in dir, by name, each read as text: UTF-16
// (little-endian) when it holds NUL bytes, Latin-1 otherwise.
QMap<QString, QString> copyTexts(const QTemporaryDir &dir)
{
    QMap<QString, QString> texts;
    QString problem;
    const std::optional<archivereader::ArchiveReader> copy =
        archivereader::ArchiveReader::open(dir.filePath(shareablecopy::copyName()), 100, &problem);
    if (!copy)
        return {{QStringLiteral("unreadable"), problem}};
    for (int i = 0; i < copy->entries().size(); ++i) {
        QByteArray content;
        if (!copy->read(i, 1 << 24, &content, &problem))
            return {{QStringLiteral("unreadable"), problem}};
        texts.insert(copy->entries().at(i).name,
                     content.contains('\0') ? QString::fromUtf16(reinterpret_cast<const char16_t *>(content.constData()),
                                                                  content.size() / 2)
                                             : QString::fromLatin1(content));
    }
    return texts;
}

// The stand-in the map gives for a real value.
QString standInOf(const QString &map, const QString &real)
{
    for (const QString &line : map.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\t') + real))
            return line.section(QLatin1Char('\t'), 0, 0);
    }
    return QStringLiteral("(none for %1)").arg(real);
}

QByteArray utf16LittleEndian(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// Chinese whose UTF-16 holds no NUL byte, more than the first judgement of
// an entry reads.
QString chinesePassage()
{
    return QStringLiteral("\u670d\u52a1\u5668\u8fde\u63a5\u6210\u529f\uff0c\u6b63\u5728\u8bfb\u53d6\u914d\u7f6e\u6587\u4ef6\u3002")
        .repeated(300);
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

        const QMap<QString, QString> texts = copyTexts(dir);
        QStringList found;
        for (auto text = texts.cbegin(); text != texts.cend(); ++text)
            found << leftovers(QStringLiteral("name"), text.key()) << leftovers(text.key(), text.value());
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
        for (const auto &line : {"computer name\tDESKTOP-7F3A", "IPv4 address\t192.168.1.20",
                                 "hardware address\t00-1A-2B-3C-4D-5E", "IPv6 address\t2001:db8:85a3::8a2e:370:7334"}) {
            const QString standIn = standInOf(map, QString::fromLatin1(line).section(QLatin1Char('\t'), 1));
            QVERIFY2(map.contains(standIn + QLatin1Char('\t') + QLatin1String(line)), qPrintable(map));
            QVERIFY2(report.contains(standIn), line);
        }
        // The log has them too, the MAC address in the colon form it stood in.
        QCOMPARE(texts.value("logs_AppData_Local/Logs/user0~2.log"), QStringLiteral("an older log\n"));
        const QString expected =
            QStringLiteral("LogInit: machine %1, user user0, home C:\\Users\\user0\\AppData\\Local\r\n"
                           "LogNet: 10.0.0.1:7777 via 02:00:00:00:00:01 (srv10.0.0.1x), fd00:0:0:1::1\r\n"
                           "LogNet: %2, fileserver.%3, wifi.%4; a plan to user0\r\n")
                .arg(standInOf(map, "DESKTOP-7F3A"), standInOf(map, "nas.studio.lan"), standInOf(map, "corp.example"),
                     standInOf(map, "lan"));
        QVERIFY2(log.startsWith(expected), qPrintable(log.left(300)));
        // The map stays out of the copy: none of its lines is there.
        for (const QString &text : texts)
            QVERIFY(!text.contains(QStringLiteral("stand-in\tkind\treal value")));
    }

    // A report of an earlier Windows build, every line ended by "\r\n",
    // still gives the names it shows: the copy holds none of them, and its
    // line ends as they were.
    void reportWithWindowsLineEnds()
    {
        const QTemporaryDir dir;
        const QString entry = QStringLiteral("logs_quillon/SupportTool/") + reportName(QStringLiteral("SupportLog_network_config_"));
        QVERIFY(makeZip(dir.filePath(QStringLiteral("zziplog.zip")), {{entry, networkReport().replace("\n", "\r\n")}}));
        const shareablecopy::Outcome outcome = writeCopy(dir);
        QVERIFY2(outcome.status == shareablecopy::Outcome::Status::Written, qPrintable(outcome.problem));
        const QString report = copyTexts(dir).value(entry);
        QCOMPARE(leftovers(entry, report), QStringList());
        QVERIFY2(report.contains(QStringLiteral("\nWindows IP Configuration\r\n")) && !report.contains(QStringLiteral("\r\r")),
                 qPrintable(report));
    }

    // Each value planted where it used to survive, read back from the copy:
    // gone as a whole word from every entry and entry name, and what is no
    // value kept as it was.
    void valuesWhereTheyLeaked_data()
    {
        QTest::addColumn<ZipEntries>("entries");
        QTest::addColumn<QStringList>("gone");
        QTest::addColumn<QStringList>("kept");
        const QByteArray hostLine("   Host Name . . . . . . . . . . . . : DESKTOP-7F3A\r\n");
        QTest::newRow("UTF-16 without a NUL byte in its first 8000 bytes, and a mix left out")
            << ZipEntries{{"Logs/zh.log", utf16LittleEndian(chinesePassage() + QStringLiteral("\r\n") + QString::fromLatin1(hostLine)
                                                            + QStringLiteral("user render at 192.168.1.20, 00-1A-2B-3C-4D-5E\r\n"))},
                          {"Logs/mixed.log", QByteArray("render at 192.168.1.20 \xe4\n").repeated(400)
                                                 + utf16LittleEndian(QStringLiteral("render at 192.168.1.20\r\n"))}}
            << QStringList{"DESKTOP-7F3A", "render", "192.168.1.20", "00-1A-2B-3C-4D-5E"}
            << QStringList{chinesePassage() + "\r\n   Host Name", "could not be cleaned safely (1):\nLogs/mixed.log\n"};
        QTest::newRow("the bare name of a listed host")
            << ZipEntries{{"Logs/copy.log", "copied from \\\\nas\\share to NAS:/backup; nasal spray\n"}}
            << QStringList{"nas"} << QStringList{"nasal spray"};
        QTest::newRow("names glued by an underscore, in names and texts")
            << ZipEntries{{"Logs/ipconfig.txt", hostLine}, {"Logs/sub_DESKTOP-7F3A/", {}},
                          {"Logs/Saved_render.log", "render_crash at DESKTOP-7F3A_x, renderer\n"}}
            << QStringList{"DESKTOP-7F3A", "render"} << QStringList{"Logs/Saved_user0.log", "user0_crash", "renderer"};
        QTest::newRow("MAC addresses dotted, and bare after a label")
            << ZipEntries{{"Logs/net.log", "sw 001a.2b3c.4d5e HWaddr 001A2B3C4D5F\n"}}
            << QStringList{"001a.2b3c.4d5e", "001A2B3C4D5F"} << QStringList{"sw 0200.0000.0001 HWaddr 020000000002"};
        QTest::newRow("a host name shown beyond a log's first 8000 bytes, named in an earlier entry")
            << ZipEntries{{"Logs/early_LATEHOST.log", "connected to LATEHOST.far.example\n"},
                          {"Logs/late.log", QByteArray(9000, '-') + "\r\n   Host Name . . . . . . . . . . . . : LATEHOST\r\n"
                                            "   Primary Dns Suffix  . . . . . . . : far.example\r\n"}}
            << QStringList{"LATEHOST", "far.example"} << QStringList{"connected to host"};
        const QString versions = QStringLiteral("v1.2.3.4 version 5.15.2.0 Feed::Add Cafe::Dead");
        QTest::newRow("versions and C++ scope names")
            << ZipEntries{{"Logs/app.log", versions.toLatin1() + " srv192.168.1.20\n"}} << QStringList{"192.168.1.20"}
            << QStringList{versions + " srv10.0.0.1"};
    }
    void valuesWhereTheyLeaked()
    {
        QFETCH(ZipEntries, entries);
        QFETCH(QStringList, gone);
        QFETCH(QStringList, kept);
        const QTemporaryDir dir;
        QVERIFY(makeZip(dir.filePath(QStringLiteral("zziplog.zip")), entries));
        const shareablecopy::Outcome outcome = writeCopy(dir);
        QVERIFY2(outcome.status == shareablecopy::Outcome::Status::Written, qPrintable(outcome.problem));
        const QMap<QString, QString> texts = copyTexts(dir);
        QStringList found;
        QString all;
        for (auto text = texts.cbegin(); text != texts.cend(); ++text) {
            found << leftovers(QStringLiteral("name"), text.key(), gone, {}) << leftovers(text.key(), text.value(), gone, {});
            all += text.key() + QLatin1Char('\n') + text.value();
        }
        QCOMPARE(found, QStringList());
        for (const QString &text : kept)
            QVERIFY2(all.contains(text), qPrintable(text.left(200) + QStringLiteral(" not in:\n") + all.right(2000)));
    }

    void failureLeavesNoFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        const int failed = int(shareablecopy::Outcome::Status::Failed);
        QTest::newRow("a folder in the copy's place") << "copy folder" << failed;
        QTest::newRow("a folder in the map's place") << "map folder" << failed;
        QTest::newRow("an entry damaged past its start") << "damaged" << failed;
#ifndef Q_OS_WIN
        QTest::newRow("a folder nobody may write to") << "read-only" << failed;
#endif
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
#ifndef Q_OS_WIN
        std::optional<ReadOnlyFolders> readOnly;
        if (fault == QLatin1String("read-only")) {
            readOnly.emplace(QStringList{dir.path()});
            QVERIFY2(readOnly->problem().isEmpty(), qPrintable(readOnly->problem()));
        }
#endif

        const shareablecopy::Outcome outcome = writeCopy(dir, fault == QLatin1String("stop"));
        QCOMPARE(int(outcome.status), status);
        QVERIFY(!outcome.problem.isEmpty());
        QCOMPARE(testsupport::folderEntries(dir.path()), before);
        if (earlierCopy)
            QCOMPARE(readFile(dir.filePath(shareablecopy::copyName())), QByteArray("earlier"));
    }

#ifndef Q_OS_WIN
    // A link or a pipe under the copy's or the map's name is replaced, never
    // written through or waited on (Linux's symbolic links and named pipes).
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
#endif
};

QTEST_MAIN(ShareableCopyTest)
#include "tst_shareablecopy.moc"
