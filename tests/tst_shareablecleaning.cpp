// The cleaning of one text for the shareable copy: which values are
// replaced and which are left, the stand-ins they get, the same result
// whether a text comes whole or in pieces, the listed host names, and
// which encoding a text is told to be in, UTF-16 cleaned in its own.

#include "shareable/entrycleaner.h"
#include "shareable/knownnames.h"
#include "shareable/pseudonyms.h"
#include "shareable/textencoding.h"
#include "shareable/textscrubber.h"

#include <QTextCodec>
#include <QtTest>

namespace {

// A computer, a user whose name is also a word, the machine's suffix "lan",
// and a listed host in a domain of its own.
shareable::KnownNames testNames()
{
    shareable::KnownNames names;
    names.computerNames = QStringList{QStringLiteral("DESKTOP-7F3A")};
    names.userNames = QStringList{QStringLiteral("render"), QStringLiteral("desktop"), QStringLiteral("j_doe")};
    names.dnsSuffixes = QStringList{QStringLiteral("lan")};
    names.hostNames = QStringList{QStringLiteral("nas.studio.lan")};
    return names;
}

QByteArray cleaned(const QByteArray &text)
{
    shareable::Pseudonyms pseudonyms(testNames());
    shareable::TextScrubber scrubber(pseudonyms);
    return scrubber.clean(text);
}

QByteArray utf16(const QString &text, textencoding::Encoding encoding)
{
    QByteArray bytes;
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xff);
        bytes.append(encoding == textencoding::Encoding::Utf16LE ? low : high);
        bytes.append(encoding == textencoding::Encoding::Utf16LE ? high : low);
    }
    return bytes;
}

// A passage of Chinese whose UTF-16 has no NUL byte, long enough to fill
// the part of an entry the first judgement reads.
QString chinesePassage()
{
    QString passage;
    while (passage.size() < textencoding::kSampleBytes / 2 + 100)
        passage += QStringLiteral("\u670d\u52a1\u5668\u8fde\u63a5\u6210\u529f\uff0c\u6b63\u5728\u8bfb\u53d6\u914d\u7f6e\u6587\u4ef6\u3002");
    return passage;
}

textencoding::Encoding encodingOf(const QByteArray &bytes, int piece = 4096)
{
    textencoding::Survey survey;
    for (int at = 0; at < bytes.size() && !survey.settled(); at += piece)
        survey.feed(bytes.constData() + at, qMin(piece, bytes.size() - at));
    return survey.verdict();
}

} // namespace

class ShareableCleaningTest : public QObject
{
    Q_OBJECT

private slots:
    void replacesValues_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("computer name in any case, the longest name first")
            << QByteArray("Host Name . . . : DESKTOP-7F3A\nping desktop-7f3a.lan from the desktop")
            << QByteArray("Host Name . . . : host0\nping host0.domain0 from the user1");
        QTest::newRow("user name in paths and alone, a word too")
            << QByteArray("C:\\Users\\Render\\AppData /home/render/x render, plan rendering Tessaly Render")
            << QByteArray("C:\\Users\\user0\\AppData /home/user0/x user0, plan rendering Tessaly user0");
        QTest::newRow("suffix as a whole name only") << QByteArray("box.lan plan lan.example wifi-lan LANguage")
                                                     << QByteArray("box.domain0 plan domain0.example wifi-domain0 LANguage");
        QTest::newRow("listed host and its domain, and its own name alone")
            << QByteArray("ping nas.studio.lan; NAS.STUDIO.LAN; printer.studio.lan; \\\\nas\\share nas.lan, not nasal")
            << QByteArray("ping host1.domain1; host1.domain1; printer.domain1; \\\\host1\\share host1.domain0, not nasal");
        QTest::newRow("names glued by an underscore, a name holding one matched whole")
            << QByteArray("Saved_render.log Render_crash sub_DESKTOP-7F3A/ wifi_lan C:\\Users\\j_doe\\ Saved_j_doe_1 "
                          "renderer plan _render_")
            << QByteArray("Saved_user0.log user0_crash sub_host0/ wifi_domain0 C:\\Users\\user2\\ Saved_user2_1 "
                          "renderer plan _user0_");
        QTest::newRow("IPv4 inside words, one subnet in one stand-in subnet")
            << QByteArray("gw 192.168.1.1 me srv192.168.1.20x other 192.168.7.3 far 172.16.0.5 at http://192.168.1.20:80/")
            << QByteArray("gw 10.0.0.1 me srv10.0.0.2x other 10.0.1.1 far 11.0.0.1 at http://10.0.0.2:80/");
        const QByteArray kept("127.0.0.1 0.0.0.0 255.255.255.0 version 1.2.3.4.5 build 10.0.19045.2965 1192.168.1.1 1.192.168.1.1");
        QTest::newRow("IPv4 left: loopback, unspecified, netmask, longer numbers") << kept << kept;
        QTest::newRow("IPv6 with :: and zones")
            << QByteArray("fe80::1c2d:3e4f:5a6b:7c8d%12 2001:db8:85a3::8a2e:370:7334 [2001:DB8:85A3::1]:443 "
                          "addr:2001:db8:85a3::8a2e:370:7334. ::1 std::string Foo::Add ::ffff:192.168.1.20")
            << QByteArray("fe80::1%12 fd00:0:0:1::1 [fd00:0:0:1::2]:443 addr:fd00:0:0:1::1. ::1 std::string Foo::Add "
                          "::ffff:10.0.0.1");
        QTest::newRow("MAC addresses in both forms and cases, and runs holding them")
            << QByteArray("mac 00-1A-2B-3C-4D-5E 00:1a:2b:3c:4d:5e 0A-1B-2C-3D-4E-5F "
                          "duid 00-01-00-01-2B-3C-4D-5E-00-1A-2B-3C-4D-5E {4D36E972-E325-11CE-BFC1-08002BE10318} 10:15:30")
            << QByteArray("mac 02-00-00-00-00-01 02:00:00:00:00:01 02-00-00-00-00-02 "
                          "duid 02-00-00-00-00-00-00-00-00-00-00-00-00-03 {4D36E972-E325-11CE-BFC1-08002BE10318} 10:15:30");
        QTest::newRow("MAC addresses dotted, and bare after a MAC label, one stand-in in every form")
            << QByteArray("sw 001a.2b3c.4d5e HWaddr 001A2B3C4D5E lladdr 001a2b3c4d5f ether 001a2b3c4d60 "
                          "MAC=\"0A1B2C3D4E5F\" Physical Address. . . . . . . . . : 0A1B2C3D4E60\r\n"
                          "id 001A2B3C4D5E 001a.2b3c.4d5e.7 macro 001A2B3C4D5E")
            << QByteArray("sw 0200.0000.0001 HWaddr 020000000001 lladdr 020000000002 ether 020000000003 "
                          "MAC=\"020000000004\" Physical Address. . . . . . . . . : 020000000005\r\n"
                          "id 001A2B3C4D5E 001a.2b3c.4d5e.7 macro 001A2B3C4D5E");
        const QByteArray versions("v1.2.3.4 version 5.15.2.0 Version: 10.1.1.1 ver 192.168.1.1 FileVersion=1.0.0.12 "
                                  "v0102.0304.0506 Feed::Add Cafe::Dead() ::Face");
        QTest::newRow("versions and C++ scope names left") << versions << versions;
        QTest::newRow("addresses beside them replaced")
            << QByteArray("srv192.168.1.20 dev 192.168.1.1 Feed::1 fe80::1%3 2001:db8::ff00:42:8329 ::ffff:192.168.1.1")
            << QByteArray("srv10.0.0.1 dev 10.0.0.2 fd00:0:0:1::1 fe80::1%3 fd00:0:0:2::1 ::ffff:10.0.0.2");
    }
    void replacesValues()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(cleaned(text), expected);
    }

    // A long text fed in pieces of any size comes out as when cleaned whole.
    void piecesGiveTheWholeResult_data()
    {
        QTest::addColumn<int>("piece");
        for (const int piece : {1, 7, 319, 320, 321, 4096})
            QTest::addRow("%d bytes", piece) << piece;
    }
    void piecesGiveTheWholeResult()
    {
        QFETCH(int, piece);
        QByteArray text;
        for (int i = 0; i < 40; ++i)
            text += "line " + QByteArray::number(i) + " DESKTOP-7F3A 10.1." + QByteArray::number(i) + ".7 render "
                + QByteArray(i * 13, 'x') + " 00-1A-2B-3C-4D-" + QByteArray::number(10 + i)
                + " fe80::" + QByteArray::number(i) + "%3 nas.studio.lan\r\n";
        shareable::Pseudonyms pseudonyms(testNames());
        shareable::TextScrubber scrubber(pseudonyms);
        shareable::TextScrubber::Stream stream(scrubber);
        QByteArray out;
        for (int at = 0; at < text.size(); at += piece)
            stream.feed(text.constData() + at, qMin(piece, text.size() - at), &out);
        stream.finish(&out);
        QCOMPARE(out, cleaned(text));
        QVERIFY(!out.contains("DESKTOP") && !out.contains("10.1."));
    }

    // The host names of the address list: the targets the address tests
    // take, without the IP addresses. (The names the reports show are
    // read in the archive's test.)
    void addressListHosts()
    {
        QCOMPARE(shareable::addressListHosts({QStringLiteral("nas.studio.lan"), QStringLiteral("8.8.8.8"),
                                              QStringLiteral("fe80::1%3 ; router"), QStringLiteral("; comment\nprinter x")}),
                 (QStringList{QStringLiteral("nas.studio.lan"), QStringLiteral("printer")}));
        // The tools get a name beyond ASCII in its IDNA form, which their
        // answers show: both are the user's.
        QCOMPARE(shareable::addressListHosts({QStringLiteral("Bücher.example")}),
                 (QStringList{QStringLiteral("Bücher.example"), QStringLiteral("xn--bcher-kva.example")}));
    }

    // The names a text shows, learned from it in pieces of any size as from
    // the whole: a field cut anywhere, a list whose continuation lines come
    // in the next piece, a field after a line too long to hold one.
    void namesShownInPieces_data()
    {
        QTest::addColumn<int>("piece");
        for (const int piece : {1, 5, 64, 100000})
            QTest::addRow("%d bytes", piece) << piece;
    }
    void namesShownInPieces()
    {
        QFETCH(int, piece);
        const QByteArray text = "Log file open\nRunning on machine: BUILDBOX\n" + QByteArray(5000, 'x')
            + " Host Name . . : NOT-A-FIELD\r\n   Host Name . . . . . . . . . . . . : DESKTOP-7F3A\r\n"
              "   DNS Suffix Search List. . . . . . : corp.example\r\n"
              "                                       lab.example\r\n"
              "                                       lan\r\n\r\n   Connection-specific DNS Suffix  . : wifi.example";
        shareable::KnownNames whole;
        shareable::addNamesShownIn(text, &whole);
        shareable::KnownNames pieces;
        shareable::NamesShownIn learning(&pieces);
        for (int at = 0; at < text.size(); at += piece)
            learning.feed(text.constData() + at, qMin(piece, text.size() - at));
        learning.finish();
        QCOMPARE(pieces.computerNames, (QStringList{"BUILDBOX", "DESKTOP-7F3A"}));
        QCOMPARE(pieces.dnsSuffixes, (QStringList{"corp.example", "lab.example", "lan", "wifi.example"}));
        QCOMPARE(pieces.computerNames.size() + pieces.dnsSuffixes.size(),
                 whole.computerNames.size() + whole.dnsSuffixes.size());
    }

    // A NUL byte before the fields (a log holding binary bytes) hides none
    // of them.
    void namesShownAfterNul()
    {
        shareable::KnownNames names;
        shareable::addNamesShownIn(QByteArrayLiteral("crash\0dump\r\n   Host Name . . . . . . . . . . . . : DESKTOP-7F3A\r\n"),
                                   &names);
        QCOMPARE(names.computerNames, QStringList{"DESKTOP-7F3A"});
    }

    // A name with letters beyond ASCII, in UTF-8 and in the system's 8-bit
    // code page, in lower and upper case.
    void eightBitAndCaseForms()
    {
        QTextCodec *const previous = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        shareable::KnownNames names;
        names.userNames = QStringList{QStringLiteral("J\u00fcrgen")};
        shareable::Pseudonyms pseudonyms(names);
        QTextCodec::setCodecForLocale(previous);
        shareable::TextScrubber scrubber(pseudonyms);
        QCOMPARE(scrubber.clean("C:\\Users\\J\xfcrgen\\ J\xc3\xbcrgen J\xc3\x9cRGEN j\xc3\xbcrgens"),
                 QByteArray("C:\\Users\\user0\\ user0 user0 j\xc3\xbcrgens"));
    }

    // Which encoding a text is told to be in: UTF-16 by its byte-order
    // mark, its NUL bytes, or the statistics of its code units; 8-bit text
    // of every kind stays 8-bit; what could be either is Uncertain.
    void tellsTheEncoding_data()
    {
        using textencoding::Encoding;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        const QString values = QStringLiteral("\r\nHost Name . . . : DESKTOP-7F3A\r\n192.168.1.20\r\n");
        const QString latin = QStringLiteral("Benutzer: render \u00e4nderte 192.168.1.1 am Dienstag\n");
        QByteArray latinLog;
        while (latinLog.size() < 20000)
            latinLog += latin.toLatin1();
        QByteArray russian;
        while (russian.size() < 20000)
            russian += QTextCodec::codecForName("windows-1251")->fromUnicode(
                QStringLiteral("\u0421\u0435\u0440\u0432\u0435\u0440 \u043e\u0442\u0432\u0435\u0442\u0438\u043b \u0437\u0430 12 \u043c\u0441\n"));
        QByteArray japanese;
        while (japanese.size() < 20000)
            japanese += QTextCodec::codecForName("Shift-JIS")->fromUnicode(
                QStringLiteral("2024-05-01 10:00:01 \u30b5\u30fc\u30d0\u306b\u63a5\u7d9a\u3057\u307e\u3057\u305f\r\n"));
        QTest::newRow("UTF-8") << QByteArray("J\xc3\xbcrgen 192.168.1.1\n").repeated(500) << int(Encoding::EightBit);
        QTest::newRow("Latin-1, short") << latin.toLatin1() << int(Encoding::EightBit);
        QTest::newRow("Latin-1") << latinLog << int(Encoding::EightBit);
        QTest::newRow("Cyrillic code page") << russian << int(Encoding::EightBit);
        QTest::newRow("Shift-JIS") << japanese << int(Encoding::EightBit);
        QTest::newRow("binary") << QByteArray("MDMP\x93\xa7\0\0\x01\0\0\0", 12).repeated(100) << int(Encoding::NotText);
        QTest::newRow("UTF-16LE, Latin, no mark") << utf16(values.repeated(50), Encoding::Utf16LE) << int(Encoding::Utf16LE);
        QTest::newRow("UTF-16BE with its mark") << utf16(QChar(0xfeff) + chinesePassage(), Encoding::Utf16BE)
                                                << int(Encoding::Utf16BE);
        QTest::newRow("UTF-16LE, no NUL for 8000 bytes, then values")
            << utf16(chinesePassage() + values, Encoding::Utf16LE) << int(Encoding::Utf16LE);
        QTest::newRow("UTF-16BE without any NUL") << utf16(chinesePassage(), Encoding::Utf16BE) << int(Encoding::Utf16BE);
        QTest::newRow("Chinese in GBK, no line end: UTF-16 as well")
            << QTextCodec::codecForName("GBK")->fromUnicode(chinesePassage()) << int(Encoding::Uncertain);
        QTest::newRow("8-bit text, then UTF-16 appended")
            << latinLog + utf16(values.repeated(3), Encoding::Utf16LE) << int(Encoding::Uncertain);
        QTest::newRow("UTF-32") << QByteArray("\xff\xfe\0\0H\0\0\0", 8) << int(Encoding::Uncertain);
    }
    void tellsTheEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QCOMPARE(int(encodingOf(bytes)), encoding);
        QCOMPARE(int(encodingOf(bytes, 1)), encoding);
    }

    // UTF-16 is cleaned in its own encoding, byte order and mark kept,
    // whatever the pieces it comes in; only the values change.
    void cleansUtf16InItsEncoding_data()
    {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("piece");
        for (const int piece : {1, 3, 4096}) {
            QTest::addRow("little-endian, %d bytes", piece) << int(textencoding::Encoding::Utf16LE) << piece;
            QTest::addRow("big-endian, %d bytes", piece) << int(textencoding::Encoding::Utf16BE) << piece;
        }
    }
    void cleansUtf16InItsEncoding()
    {
        QFETCH(int, encoding);
        QFETCH(int, piece);
        const auto encoded = [encoding](const QString &text) { return utf16(text, textencoding::Encoding(encoding)); };
        const QString text = QChar(0xfeff) + chinesePassage()
            + QStringLiteral("\r\nHost Name . . . : DESKTOP-7F3A J\u00fcrgen \U0001F600 render@nas 192.168.1.20 00-1A-2B-3C-4D-5E\r\n");
        const QByteArray bytes = encoded(text) + 'x'; // and an odd last byte
        shareable::Pseudonyms pseudonyms(testNames());
        shareable::TextScrubber scrubber(pseudonyms);
        shareable::EntryCleaner cleaner(scrubber, textencoding::Encoding(encoding));
        QByteArray out;
        for (int at = 0; at < bytes.size(); at += piece)
            cleaner.feed(bytes.constData() + at, qMin(piece, bytes.size() - at), &out);
        cleaner.finish(&out);
        QString expected = text;
        expected.replace(QStringLiteral("DESKTOP-7F3A"), QStringLiteral("host0"))
            .replace(QStringLiteral("render@nas"), QStringLiteral("user0@host1"))
            .replace(QStringLiteral("192.168.1.20"), QStringLiteral("10.0.0.1"))
            .replace(QStringLiteral("00-1A-2B-3C-4D-5E"), QStringLiteral("02-00-00-00-00-01"));
        QCOMPARE(out, encoded(expected) + 'x');
    }

    // A stand-in never equals a real name, and the map lists what was met.
    void standInsAndTheirMap()
    {
        shareable::KnownNames names;
        names.userNames = QStringList{QStringLiteral("user0"), QStringLiteral("unused")};
        shareable::Pseudonyms pseudonyms(names);
        shareable::TextScrubber scrubber(pseudonyms);
        QCOMPARE(scrubber.clean("user0 at 192.168.1.2"), QByteArray("user1 at 10.0.0.1"));
        QCOMPARE(pseudonyms.replacements().size(), 2);
        QCOMPARE(pseudonyms.replacements().at(0).real, QStringLiteral("user0"));
        QCOMPARE(pseudonyms.replacements().at(0).standIn, QStringLiteral("user1"));
        QCOMPARE(pseudonyms.replacements().at(1).kind, QStringLiteral("IPv4 address"));
    }
};

QTEST_MAIN(ShareableCleaningTest)
#include "tst_shareablecleaning.moc"
