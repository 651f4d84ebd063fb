// The decoding of what console programs write to a pipe: on Windows in the
// console's code page (850 or 437 on Western systems), which the ANSI code
// page (1252) would garble; here and there alike by the code page's number.

#include "process/consoletext.h"

#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

class ConsoleTextTest : public QObject
{
    Q_OBJECT

private slots:
    void decodedFromItsCodePage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<uint>("codePage");
        QTest::addColumn<QString>("text");
        // "Process=Bürosoftware" and "Règle Ø": ü is 0x81 and è 0x8a in both
        // OEM code pages, Ø 0x9d in 850 where 437 has ¥.
        QTest::newRow("850") << QByteArray("Process=B\x81rosoftware\r\nR\x8agle \x9d") << 850u
                             << QStringLiteral("Process=Bürosoftware\r\nRègle Ø");
        QTest::newRow("437") << QByteArray("Process=B\x81rosoftware\r\nR\x8agle \x9d") << 437u
                             << QStringLiteral("Process=Bürosoftware\r\nRègle ¥");
        QTest::newRow("1252, the ANSI code page") << QByteArray("R\xe8gle") << 1252u << QStringLiteral("Règle");
        QTest::newRow("UTF-8") << QByteArray("R\xc3\xa8gle \xe6\x9d\xb1") << 65001u << QStringLiteral("Règle 東");
        QTest::newRow("nothing") << QByteArray() << 850u << QString();
        // Whatever a program writes after a NUL byte is text as well.
        QTest::newRow("UTF-8 with a NUL") << QByteArray("a\0b\xc3\xa8", 5) << 65001u << QString::fromUtf8("a\0b\xc3\xa8", 5);
        QTest::newRow("locale with a NUL") << QByteArray("Rule\0Block", 10) << 0u << QString::fromLatin1("Rule\0Block", 10);
    }
    void decodedFromItsCodePage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(uint, codePage);
        QFETCH(QString, text);
        QCOMPARE(consoletext::decode(bytes, codePage), text);
    }

    // The fault that the console's code page mends: the same bytes read as
    // the ANSI code page name another process.
    void oemBytesReadAsAnsiAreGarbled()
    {
        const QByteArray bytes("B\x81rosoftware.exe");
        QVERIFY(consoletext::decode(bytes, 1252) != QStringLiteral("Bürosoftware.exe"));
        QCOMPARE(consoletext::decode(bytes, 850), QStringLiteral("Bürosoftware.exe"));
    }

    // Which code page the tool's children write in.
    void childCodePage()
    {
#ifdef Q_OS_WIN
        const UINT console = GetConsoleOutputCP();
        QCOMPARE(consoletext::childCodePage(), console != 0 ? unsigned(console) : unsigned(GetOEMCP()));
#else
        QCOMPARE(consoletext::childCodePage(), 0u);
        QCOMPARE(consoletext::fromChild("R\xc3\xa8gle"), QString::fromLocal8Bit("R\xc3\xa8gle"));
#endif
    }
};

QTEST_APPLESS_MAIN(ConsoleTextTest)
#include "tst_consoletext.moc"
