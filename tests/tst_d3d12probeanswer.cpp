// Reading the probe program's answer: the one line it prints, and what a
// run that printed no such line leaves (a failed creation and the reason).

#include "d3d12/d3d12probeanswer.h"
#include "d3d12/d3d12probeline.h"
#include "d3d12facts.h"

#include <QtTest>

Q_DECLARE_METATYPE(childwait::Outcome)

using testsupport::facts;
using testsupport::same;

namespace {
constexpr std::int32_t kFailure = std::int32_t(0x80004005); // E_FAIL

childwait::Outcome printed(const QByteArray &output, int exitCode = 0)
{
    childwait::Outcome outcome;
    outcome.output = output;
    outcome.exitCode = exitCode;
    return outcome;
}
} // namespace

class D3D12ProbeAnswerTest : public QObject
{
    Q_OBJECT

private slots:
    // Every result code survives the trip through the line, failure codes
    // (negative as 32-bit numbers) included.
    void lineRoundTrip_data()
    {
        QTest::addColumn<int>("creation");
        QTest::addColumn<int>("query");
        QTest::addColumn<int>("tier");
        QTest::newRow("ray tracing") << 0 << 0 << 10;
        QTest::newRow("no device") << int(0x80070057) << 0 << 0;
        QTest::newRow("query failed") << 1 << int(0x887A0005) << 0;
        QTest::newRow("lowest code") << int(0x80000000) << int(0xFFFFFFFF) << 0;
    }
    void lineRoundTrip()
    {
        QFETCH(int, creation);
        QFETCH(int, query);
        QFETCH(int, tier);
        const d3d12probe::Facts sent = facts(creation, query, tier);
        const std::optional<d3d12probe::Facts> read = d3d12probe::fromLine(d3d12probe::toLine(sent));
        QVERIFY(read);
        QVERIFY(same(*read, sent));
    }

    void lineFormat()
    {
        QCOMPARE(QString::fromStdString(d3d12probe::toLine(facts(kFailure, 0, 0))),
                 QStringLiteral("creation=0x80004005 query=0x00000000 tier=0"));
    }

    void unreadableLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("Segmentation fault");
        QTest::newRow("cut short") << QByteArray("creation=0x00000000 query=0x0000");
        QTest::newRow("no tier") << QByteArray("creation=0x00000000 query=0x00000000");
        QTest::newRow("empty tier") << QByteArray("creation=0x00000000 query=0x00000000 tier=");
        QTest::newRow("extra field") << QByteArray("creation=0x00000000 query=0x00000000 tier=10 adapter=1");
        QTest::newRow("trailing blank") << QByteArray("creation=0x00000000 query=0x00000000 tier=10 ");
        QTest::newRow("two blanks") << QByteArray("creation=0x00000000  query=0x00000000 tier=10");
        QTest::newRow("fields swapped") << QByteArray("query=0x00000000 creation=0x00000000 tier=10");
        QTest::newRow("decimal code") << QByteArray("creation=0 query=0x00000000 tier=10");
        QTest::newRow("code too wide") << QByteArray("creation=0x100000000 query=0x00000000 tier=10");
        QTest::newRow("signed code") << QByteArray("creation=0x-1 query=0x00000000 tier=10");
        QTest::newRow("negative tier") << QByteArray("creation=0x00000000 query=0x00000000 tier=-1");
        QTest::newRow("tier with letters") << QByteArray("creation=0x00000000 query=0x00000000 tier=10a");
        QTest::newRow("line end inside") << QByteArray("creation=0x00000000 query=0x00000000\ntier=10");
    }
    void unreadableLines()
    {
        QFETCH(QByteArray, line);
        QVERIFY(!d3d12probe::fromLine(std::string_view(line.constData(), line.size())));
    }

    void readableLines()
    {
        // A line from a console that ends lines with "\r\n", and upper-case digits.
        const std::optional<d3d12probe::Facts> read =
            d3d12probe::fromLine("creation=0x8007000E query=0x00000000 tier=0\r");
        QVERIFY(read);
        QVERIFY(same(*read, facts(std::int32_t(0x8007000E), 0, 0)));
    }

    // A run that printed its line gives its facts and no problem; anything
    // else a failed creation and a reason, so the report never claims a
    // device (or its absence) the probe did not report.
    void answers_data()
    {
        QTest::addColumn<childwait::Outcome>("outcome");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("reason");

        const QByteArray supported = "creation=0x00000000 query=0x00000000 tier=10\n";
        QTest::newRow("answer") << printed(supported) << true << QString();
        QTest::newRow("driver chatter first") << printed("MESA: warning: something\n" + supported) << true << QString();
        QTest::newRow("no line end") << printed(supported.chopped(1)) << false << QStringLiteral("no readable answer");
        QTest::newRow("garbage after")
            << printed(supported + "garbage\n") << false << QStringLiteral("no readable answer: \"creation=");

        childwait::Outcome crashed = printed(supported);
        crashed.crashed = true;
        QTest::newRow("crashed after its line") << crashed << false << QStringLiteral("crashed");
        childwait::Outcome flood = printed(supported);
        flood.errorsOverflowed = true;
        flood.crashed = true;
        QTest::newRow("flood") << flood << false << QStringLiteral("wrote too much");
    }
    void answers()
    {
        QFETCH(childwait::Outcome, outcome);
        QFETCH(bool, readable);
        QFETCH(QString, reason);
        const d3d12probe::Answer answer = d3d12probe::answerOf(outcome, 1500);
        if (readable) {
            QVERIFY2(answer.problem.isEmpty(), qPrintable(answer.problem));
            QVERIFY(same(answer.facts, facts(0, 0, 10)));
        } else {
            QVERIFY2(answer.problem.contains(reason), qPrintable(answer.problem));
            QVERIFY(same(answer.facts, facts(kFailure, 0, 0)));
        }
    }
};

QTEST_APPLESS_MAIN(D3D12ProbeAnswerTest)
#include "tst_d3d12probeanswer.moc"
