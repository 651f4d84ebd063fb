// The settings file: read faithfully in the encodings Windows editors save,
// its groups in file order; the one entry the tool writes changes nothing
// else, and a file it cannot read faithfully is never written.

#include "app/agreementgate.h"
#include "app/startup.h"
#include "installation/agreemententry.h"
#include "installation/settingsfile.h"
#include "testsupport.h"

#include <QTextCodec>
#include <QtTest>

#include <sys/stat.h>

using namespace testsupport;

namespace {

const QString kSettings = QStringLiteral("SupportToolConfig.ini");

// text in the given encoding, with its byte-order mark.
QByteArray encoded(const QString &text, settingstext::Encoding encoding)
{
    settingstext::Decoded as;
    as.encoding = encoding;
    const char *const marks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xFF\xFE\x00\x00", "\x00\x00\xFE\xFF"};
    const int sizes[] = {3, 2, 2, 4, 4};
    as.byteOrderMark = QByteArray(marks[int(encoding)], sizes[int(encoding)]);
    return settingstext::encode(text, as);
}

ino_t inodeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

class SettingsFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initLogging(); }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // null: refused
        const QString text = QStringLiteral("[ipconfig]\r\n1=büro.lan 😀\r\n");
        QTest::newRow("UTF-8") << text.toUtf8() << text;
        QTest::newRow("UTF-8 with its mark") << encoded(text, settingstext::Encoding::Utf8) << text;
        QTest::newRow("UTF-16 LE") << encoded(text, settingstext::Encoding::Utf16LittleEndian) << text;
        QTest::newRow("UTF-16 BE") << encoded(text, settingstext::Encoding::Utf16BigEndian) << text;
        QTest::newRow("UTF-32 LE") << encoded(text, settingstext::Encoding::Utf32LittleEndian) << text;
        QTest::newRow("UTF-32 BE") << encoded(text, settingstext::Encoding::Utf32BigEndian) << text;
        // Not UTF-8 and no mark: an 8-bit file, every byte one character
        // (the system's code page here is UTF-8, so Latin-1 reads it).
        QTest::newRow("8-bit") << QByteArray("; B\xFCro\r\n1=a\r\n") << QStringLiteral("; Büro\r\n1=a\r\n");
        // (Windows reads the system's ANSI code page, 1252 under Wine here,
        // where 0x80 is the euro sign.)
#ifdef Q_OS_WIN
        const QString lastLetter = QStringLiteral("\u20AC");
#else
        const QString lastLetter = QStringLiteral("\u0080");
#endif
        QTest::newRow("8-bit, UTF-8 of a lone surrogate") << QByteArray("1=\xED\xA0\x80\n")
                                                          << QStringLiteral("1=\u00ED\u00A0%1\n").arg(lastLetter);
        QTest::newRow("NUL bytes") << QByteArray("[\x00i\x00]\x00", 6) << QString();
        QTest::newRow("UTF-8 mark, then not UTF-8") << QByteArray("\xEF\xBB\xBF; B\xFCro\n") << QString();
        QTest::newRow("UTF-16 cut in a character") << QByteArray("\xFF\xFE[\x00i", 5) << QString();
        QTest::newRow("UTF-32 past Unicode") << QByteArray("\xFF\xFE\x00\x00\x00\x00\x11\x00", 8) << QString();
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const settingstext::Decoded decoded = settingstext::decode(bytes);
        QCOMPARE(decoded.ok, !text.isNull());
        QCOMPARE(decoded.problem.isEmpty(), decoded.ok);
        if (decoded.ok) {
            QCOMPARE(decoded.text, text);
            QCOMPARE(settingstext::encode(decoded.text, decoded), bytes);
        }
    }

    // An 8-bit file is read in the system's code page when that gives its
    // bytes back unchanged (Windows' "ANSI" code page), else byte for byte;
    // either way the groups and values the tool uses read as they are.
    void eightBitFiles_data()
    {
        QTest::addColumn<QByteArray>("systemCodePage");
        QTest::addColumn<QString>("value");
        QTest::newRow("Windows-1251 system") << QByteArray("windows-1251") << QStringLiteral("\u043f\u0440\u0438");
        QTest::newRow("UTF-8 system: Latin-1") << QByteArray("UTF-8") << QStringLiteral("\u00ef\u00f0\u00e8");
    }
    void eightBitFiles()
    {
        QFETCH(QByteArray, systemCodePage);
        QFETCH(QString, value);
        QTextCodec *const before = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName(systemCodePage));
        const QByteArray bytes("; \xEF\xF0\xE8\r\n[AgreeLicense]\r\nagreed=1\r\n[ipconfig]\r\nhost=\xEF\xF0\xE8\r\n");
        const settingstext::Decoded decoded = settingstext::decode(bytes);
        QTextCodec::setCodecForLocale(before);
        QVERIFY(decoded.ok);
        QCOMPARE(decoded.encoding, settingstext::Encoding::EightBit);
        QCOMPARE(settingstext::encode(decoded.text, decoded), bytes);
        const settingsgroups::Text parsed = settingsgroups::parse(decoded.text);
        QCOMPARE(settingsgroups::lastEntry(parsed, QStringLiteral("AgreeLicense"), QStringLiteral("agreed"))->value,
                 QStringLiteral("1"));
        QCOMPARE(settingsgroups::lastEntry(parsed, QStringLiteral("ipconfig"), QStringLiteral("host"))->value, value);
    }

    // Groups and entries as written: file order, repeated keys and groups
    // kept, commas kept, quotes and comments read as described.
    void groupsInFileOrder()
    {
        const settingsgroups::Text parsed = settingsgroups::parse(QStringLiteral(
            "orphan=1\r\n; comment\r\n[ipconfig]\r\nk=a\r\n# comment\r\nk = b, c \r\n[other]\r\nx=1\r\n"
            "[IPConfig]\r\nq=\"x ; \\\"y\\\"\" ; note\r\nr=d:\\logs\\new ; note\r\ns=a;b\r\nbare line\r\n[broken\r\nz=1"));
        QCOMPARE(parsed.lineEnd, QStringLiteral("\r\n"));
        QStringList seen;
        for (const settingsgroups::Entry &entry : settingsgroups::entriesOf(parsed, QStringLiteral("ipconfig")))
            seen << (entry.assignment ? entry.key + QLatin1Char('|') + entry.value : QStringLiteral("!") + entry.key);
        QCOMPARE(seen, (QStringList{QStringLiteral("k|a"), QStringLiteral("k|b, c"), QStringLiteral("q|x ; \"y\""),
                                    QStringLiteral("r|d:\\logs\\new"), QStringLiteral("s|a;b"),
                                    QStringLiteral("!bare line")}));
        QCOMPARE(settingsgroups::lastEntry(parsed, QStringLiteral("IPCONFIG"), QStringLiteral("K"))->value,
                 QStringLiteral("b, c"));
    }

    // Recording the entry changes its line, or adds it under its group, or
    // appends the group; every other byte stays, in the file's encoding and
    // line ends. The file is replaced, never rewritten in place.
    void recordChangesOnlyItsEntry_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QByteArray>("after");
        using E = settingstext::Encoding;
        QTest::newRow("no file") << QByteArray() << QByteArray("[AgreeLicense]\nagreed=1\n");
        QTest::newRow("CRLF and comments, no group")
            << QByteArray("; mine\r\n[ipconfig]\r\n1=b\xC3\xBCro.lan ; nas\r\n\r\n")
            << QByteArray("; mine\r\n[ipconfig]\r\n1=b\xC3\xBCro.lan ; nas\r\n\r\n[AgreeLicense]\r\nagreed=1\r\n");
        QTest::newRow("no last line end") << QByteArray("[ipconfig]\n1=a") << QByteArray("[ipconfig]\n1=a\n[AgreeLicense]\nagreed=1\n");
        QTest::newRow("UTF-16 LE, refused before")
            << encoded(QStringLiteral("[ipconfig]\r\n1=büro\r\n[AgreeLicense]\r\nagreed=0\r\n[x]\r\n"), E::Utf16LittleEndian)
            << encoded(QStringLiteral("[ipconfig]\r\n1=büro\r\n[AgreeLicense]\r\nagreed=1\r\n[x]\r\n"), E::Utf16LittleEndian);
        QTest::newRow("UTF-32 BE, the group without its entry")
            << encoded(QStringLiteral("[agreelicense]\n; keep\n[ipconfig]\n"), E::Utf32BigEndian)
            << encoded(QStringLiteral("[agreelicense]\nagreed=1\n; keep\n[ipconfig]\n"), E::Utf32BigEndian);
        QTest::newRow("repeated entry: the last one counts")
            << QByteArray("[AgreeLicense]\r\nagreed=1\r\n  Agreed = no ; said later\r\nother=2")
            << QByteArray("[AgreeLicense]\r\nagreed=1\r\n  Agreed = 1 ; said later\r\nother=2");
        // Only the value changes: the blanks around "=" and a comment stay.
        QTest::newRow("spacing kept") << QByteArray("[AgreeLicense]\nagreed = 0\n") << QByteArray("[AgreeLicense]\nagreed = 1\n");
        QTest::newRow("quoted, with a comment")
            << QByteArray("[AgreeLicense]\n\tagreed\t=  \"0\" ; asked 2024\n")
            << QByteArray("[AgreeLicense]\n\tagreed\t=  1 ; asked 2024\n");
        QTest::newRow("empty value") << QByteArray("[AgreeLicense]\nagreed = \n") << QByteArray("[AgreeLicense]\nagreed = 1\n");
        // An "ANSI" file: its other bytes stay as they were.
        QTest::newRow("8-bit")
            << QByteArray("; B\xFCro M\xFCnchen\r\n[ipconfig]\r\n1=nas ; K\xFC" "che\r\n[AgreeLicense]\r\nagreed = 0\r\n")
            << QByteArray("; B\xFCro M\xFCnchen\r\n[ipconfig]\r\n1=nas ; K\xFC" "che\r\n[AgreeLicense]\r\nagreed = 1\r\n");
    }
    void recordChangesOnlyItsEntry()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const InstallFolder folder;
        const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        if (!before.isNull()) {
            folder.writeFile(kSettings, before);
            QVERIFY(QFile::setPermissions(kSettings, mode));
        }
        const ino_t inode = inodeOf(kSettings);
        QString problem;
        QVERIFY(agreemententry::record(kSettings, settingsfile::read(), QStringLiteral("1"), &problem));
        QCOMPARE(problem, QString());
#ifdef Q_OS_WIN
        // A file the tool makes has the system's line ends.
        if (before.isNull())
            after.replace("\n", "\r\n");
#endif
        QCOMPARE(readFile(kSettings), after);
        QVERIFY(inode == 0 || inodeOf(kSettings) != inode);
#ifndef Q_OS_WIN
        // (Windows has no group's permission to keep.)
        if (!before.isNull())
            QCOMPARE(QFileInfo(kSettings).permissions() & ~(QFile::ReadUser | QFile::WriteUser), mode);
#endif
        // No temporary file is left beside it.
        QCOMPARE(QDir().entryList({kSettings + QLatin1Char('*')}, QDir::AllEntries | QDir::Hidden), QStringList{kSettings});
    }

    // What start-up has the window say about the file: only that a file
    // which is there is not used (a first start has none, and is no fault).
    void startupNotice_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("notice");
        QTest::newRow("no file") << QByteArray() << QString();
        QTest::newRow("8-bit") << QByteArray("; B\xFCro\n[AgreeLicense]\nagreed=1\n") << QString();
        QTest::newRow("NUL bytes") << QByteArray("[\x00i\x00]\x00", 6)
                                   << "SupportToolConfig.ini cannot be read: it holds NUL bytes, so it is no text, or "
                                      "UTF-16 or UTF-32 without a byte-order mark. It is left as it is: none of its "
                                      "settings are used, and the terms of use are asked at every start";
    }
    void startupNotice()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, notice);
        const InstallFolder folder;
        if (!content.isNull())
            folder.writeFile(kSettings, content);
        QCOMPARE(startup::noteSettingsFile(), notice);
    }

    // A file the tool cannot read faithfully, or a link, is never written:
    // the terms are asked at every start, and the reason is given.
    void refusedFilesStayAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("UTF-16 without its mark")
            << QByteArray("[\x00i\x00]\x00\n\x00", 8) << false
            << "it holds NUL bytes, so it is no text, or UTF-16 or UTF-32 without a byte-order mark" << false;
#ifndef Q_OS_WIN
        // (A link made by QFile::link on Windows is a shortcut file, no link.)
        QTest::newRow("a link") << QByteArray("[ipconfig]\n1=a\n") << true
                                << "it is a link, and the tool does not write through links" << false;
#endif
        QTest::newRow("read-only") << QByteArray("[ipconfig]\n1=a\n") << false << "it is read-only" << true;
        // No file the tool reads is unbounded.
        QTest::newRow("larger than 16 MB") << "[ipconfig]\n1=" + QByteArray(16 * 1024 * 1024, 'a') << false
                                           << "it is larger than 16 MB" << false;
    }
    void refusedFilesStayAsTheyWere()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, link);
        QFETCH(QString, reason);
        QFETCH(bool, readOnly);
        const InstallFolder folder;
        const QString file = link ? QStringLiteral("elsewhere.ini") : kSettings;
        folder.writeFile(file, content);
        if (readOnly) {
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser));
            if (QFileInfo(file).isWritable())
                QSKIP("this user writes files whatever their permissions (root): the case cannot be made here");
        }
        if (link)
            QVERIFY(QFile::link(file, kSettings));
        int asked = 0;
        for (int start = 0; start < 2; ++start) {
            QString notRecorded;
            QVERIFY(agreement::passGate(kSettings, [&] { return ++asked, 1; }, &notRecorded));
            QCOMPARE(notRecorded, reason);
        }
        QCOMPARE(asked, 2);
        QCOMPARE(readFile(file), content);
        QCOMPARE(QFileInfo(kSettings).isSymLink(), link);
    }

    // A file saved by another program (an editor) after the tool read it is
    // not replaced from the older reading, nor made or brought back.
    void changedSinceReadingIsNotWritten_data()
    {
        QTest::addColumn<QByteArray>("read"); // null: no file
        QTest::addColumn<QByteArray>("now");  // null: no file
        const QByteArray asked("[AgreeLicense]\nagreed=0\n");
        QTest::newRow("edited") << asked << asked + "[ipconfig]\n1=nas.studio.lan\n";
        QTest::newRow("made meanwhile") << QByteArray() << asked;
        QTest::newRow("removed meanwhile") << asked << QByteArray();
    }
    void changedSinceReadingIsNotWritten()
    {
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, now);
        const InstallFolder folder;
        if (!read.isNull())
            folder.writeFile(kSettings, read);
        const settingsfile::Contents reading = settingsfile::read();
        QFile::remove(kSettings);
        if (!now.isNull())
            folder.writeFile(kSettings, now);
        QString problem;
        QVERIFY(!agreemententry::record(kSettings, reading, QStringLiteral("1"), &problem));
        QCOMPARE(problem, QStringLiteral("it changed while the tool was reading it"));
        QCOMPARE(QFileInfo::exists(kSettings), !now.isNull());
        if (!now.isNull())
            QCOMPARE(readFile(kSettings), now);
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
