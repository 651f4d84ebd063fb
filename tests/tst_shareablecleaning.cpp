// The cleaning of one text for the shareable copy: which values are
// replaced and which are left, the stand-ins they get, the same result
// whether a text comes whole or in pieces, and the listed host names.

#include "shareable/knownnames.h"
#include "shareable/pseudonyms.h"
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
    names.userNames = QStringList{QStringLiteral("render"), QStringLiteral("desktop")};
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
        QTest::newRow("suffix as a whole name only") << QByteArray("nas.lan plan lan.example wifi-lan LANguage")
                                                     << QByteArray("nas.domain0 plan domain0.example wifi-domain0 LANguage");
        QTest::newRow("listed host and its domain")
            << QByteArray("ping nas.studio.lan; NAS.STUDIO.LAN; printer.studio.lan")
            << QByteArray("ping host1.domain1; host1.domain1; printer.domain1");
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
