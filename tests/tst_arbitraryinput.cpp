// The pure functions that turn what a user's machine hands over (console
// output, report files, settings files, probe answers) into texts and
// records, fed with input no test writes by hand: seeded pseudo-random
// bytes, the realistic fixture outputs cut short, with bytes flipped, line
// ends changed and NUL bytes inserted, and a few inputs of megabytes. Each
// call must end (the sanitizer build catches memory faults and undefined
// behaviour), within a bound that a quadratic loop or a backtracking
// expression breaks, and keep the invariants its function promises. The
// seed is fixed: a failure names the row and the input's number, and
// repeats; with ARBITRARY_INPUT_FAILURE set, the failing input is written
// to the file it names.

#include "d3d12/d3d12probeanswer.h"
#include "d3d12/d3d12probeline.h"
#include "findings/findings.h"
#include "findings/findingstext.h"
#include "findings/pingstatistics.h"
#include "findings/recordfacts.h"
#include "hardwaresamples.h"
#include "installation/addresslist.h"
#include "installation/pingtargets.h"
#include "installation/settingsgroups.h"
#include "installation/settingstext.h"
#include "networksettings.h"
#include "process/consoletext.h"
#include "reportfixture.h"
#include "reports/reportreader.h"
#include "reports/reportset.h"
#include "shaping/graphicsshaping.h"
#include "shaping/hardwareshaping.h"
#include "shaping/softwareshaping.h"
#include "shaping/textcut.h"
#include "shareable/entrycleaner.h"
#include "shareable/knownnames.h"
#include "shareable/pseudonyms.h"
#include "shareable/textencoding.h"
#include "shareable/textscrubber.h"
#include "windowsanswers.h"

#include <QRandomGenerator>
#include <QTextCodec>
#include <QtTest>

#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <time.h>
#endif

using namespace testsupport;

namespace {

constexpr quint32 kSeed = 20261209;
// A call on a few megabytes that is linear ends well within this much of
// the processor's time, even slowed by the sanitizers or Wine. Processor
// time, not time passed: on a machine loaded by other work the test waits
// for its turn, which says nothing of the function.
constexpr qint64 kBoundMs = 8000;

// The processor time this process has used so far, in milliseconds.
qint64 processorMs()
{
#ifdef Q_OS_WIN
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME &time) { return (qint64(time.dwHighDateTime) << 32) | time.dwLowDateTime; };
    return (ticks(kernel) + ticks(user)) / 10000; // counted in 100 ns
#else
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
#endif
}

// Under AddressSanitizer every allocation is followed back through its
// stack (the sanitizer run asks for the slow unwinder), which costs far more
// than the functions themselves on inputs of a million lines: the large
// inputs are an eighth as large there. Their full sizes, in the other
// builds, are what catch quadratic time.
#ifdef __SANITIZE_ADDRESS__
constexpr int kLargeShrink = 8;
#else
constexpr int kLargeShrink = 1;
#endif

// The pieces the streaming readers are fed in.
constexpr int kPiece = 7;

// Hands the input to feed in pieces of the given size, in order.
template <typename Feed>
void inPieces(const QByteArray &input, int piece, Feed feed)
{
    for (int at = 0; at < input.size(); at += piece)
        feed(input.constData() + at, qMin(piece, input.size() - at));
}

// What a check of one input says: empty when every invariant held.
using Check = std::function<QString(const QByteArray &input)>;

struct EntryPoint
{
    const char *name;
    QByteArrayList seeds; // realistic inputs, mutated by the "mutated" rows
    Check check;
};

// All of the bytes, NULs too (Qt 5's fromUtf8 of a QByteArray stops at one).
QString text(const QByteArray &bytes) { return QString::fromUtf8(bytes.constData(), bytes.size()); }

// Empty when condition holds, otherwise what broke.
QString unless(bool condition, const QString &broken) { return condition ? QString() : broken; }
QString firstOf(std::initializer_list<QString> verdicts)
{
    for (const QString &verdict : verdicts) {
        if (!verdict.isEmpty())
            return verdict;
    }
    return QString();
}

const QRegularExpression kBlank(QStringLiteral("\\s"));
const QRegularExpression kDelimiter(QStringLiteral("[ \t\r\n]")); // of the console loop's words

bool holdsLineBreak(const QString &value)
{
    return value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
}

// A shaped check's records frame its text: a text long enough to be
// reported stands whole in one of them.
QString framed(const records::ShapedCheck &check, const char *what)
{
    if (check.text.size() < 10)
        return QString();
    for (const records::CheckRecord &record : check.records) {
        if (record.text.contains(check.text))
            return QString();
    }
    return QStringLiteral("%1: no record holds the text").arg(QLatin1String(what));
}

// ---- The fixtures the mutations start from.

// The bytes, read as UTF-8, in another encoding, its byte-order mark first
// (as an editor saves a "Unicode" file).
QByteArray reencoded(const QByteArray &bytes, const char *codec)
{
    return QTextCodec::codecForName(codec)->fromUnicode(QChar(0xFEFF) + text(bytes));
}

QByteArrayList consoleSeeds()
{
    QByteArrayList seeds{hardwaresamples::kProcessor, hardwaresamples::kVideoControllers,
                         hardwaresamples::kGpuMemoryUsage, hardwaresamples::kVendorTool,
                         hardwaresamples::kPhysicalMemory, hardwaresamples::kPageFile,
                         hardwaresamples::kPhysicalDisks, hardwaresamples::kTdrValues};
    for (const QString &output : windowsanswers::outputs()) {
        if (!output.isEmpty())
            seeds << output.toUtf8();
    }
    return seeds;
}

const QByteArray kPing = "\r\nPinging render.example [192.0.2.7] with 32 bytes of data:\r\n"
                         "Reply from 192.0.2.7: bytes=32 time=10ms TTL=56\r\n\r\n"
                         "Ping statistics for 192.0.2.7:\r\n"
                         "    Packets: Sent = 4, Received = 3, Lost = 1 (25% loss),\r\n"
                         "--- nas.studio.lan ping statistics ---\n"
                         "4 packets transmitted, 4 received, 0% packet loss, time 3063ms\n";

const QByteArray kSettings = "; the tool's settings\r\n[ipconfig]\r\n1=render.example.com ; the farm\r\n"
                             "2=192.168.1.10, nas.studio.lan\r\n3=\"b\\\"ü\" \r\n4=fe80::1%12\r\nnoequals\r\n"
                             "[serverHosts]\r\nlicense=127.0.0.1:9\r\n";

records::ShapedCheck shapedFrom(records::ShapedCheck (*shape)(const QString &), const QByteArray &output)
{
    return shape(text(output));
}

// Report files of each kind, their records shaped from the fixtures.
QByteArrayList reportSeeds()
{
    using namespace hardwaresamples;
    QVector<records::CheckRecord> hardware;
    for (const records::ShapedCheck &check :
         {shapedFrom(hardwareshaping::processor, kProcessor), shapedFrom(hardwareshaping::physicalMemory, kPhysicalMemory),
          shapedFrom(hardwareshaping::pageFile, kPageFile), shapedFrom(graphicsshaping::tdrValues, kTdrValues),
          hardwareshaping::graphicsAdapter(hardwareshaping::adapterText(text(kVideoControllers), text(kAdapterMemory)),
                                           hardwareshaping::memoryUsageText(text(kGpuMemoryUsage)),
                                           hardwareshaping::vendorToolDetail(text(kVendorTool))),
          hardwareshaping::disks(text(kPhysicalDisks), {{QStringLiteral("C:/"), Q_INT64_C(500) << 30, Q_INT64_C(2) << 30}})})
        hardware += check.records;
    const QStringList outputs = windowsanswers::outputs();
    QVector<records::CheckRecord> configuration{softwareshaping::firewallHeading()};
    configuration += softwareshaping::firewallRules(outputs.value(12)).records;
    configuration += softwareshaping::networkStatus(outputs.value(13)).records;
    configuration += softwareshaping::vpnConnections(QStringLiteral("Name : Office VPN\r\n")).records;
    const QByteArray hardwareReport = reportFile(inspectionRecords(hardware));
    return {hardwareReport, reencoded(hardwareReport, "UTF-16LE"), reencoded(hardwareReport, "UTF-16BE"),
            reportFile(inspectionRecords(softwareshaping::conflictingProcesses(outputs.value(10)).records)),
            reportFile(inspectionRecords(configuration)),
            reportFile({windowRecord(155, QStringLiteral("PING.......")), windowRecord(159, text(kPing))})};
}

// ---- The entry points and what each promises.

QString textCuts(const QByteArray &input)
{
    const QString value = text(input);
    return firstOf({unless(textcut::splitLines(value).join(QStringLiteral("\r\n")) == value, "splitLines loses text"),
                    unless(textcut::splitLinesLf(value).join(QLatin1Char('\n')) == value, "splitLinesLf loses text"),
                    unless(!textcut::withoutCarriageReturns(value).contains(QLatin1Char('\r')), "a carriage return stays"),
                    unless(textcut::dropFirst(value, 4).size() == qMax(0, value.size() - 4), "dropFirst"),
                    unless(textcut::dropLast(value, 8).size() == qMax(0, value.size() - 8), "dropLast")});
}

QString hardwareShaping(const QByteArray &input)
{
    const QString value = text(input);
    const QString adapter = hardwareshaping::adapterText(value, value);
    const QString detail = hardwareshaping::vendorToolDetail(value);
    const QStringList labels{QStringLiteral("GPU Clock : "), QStringLiteral("\nFan Speed : "),
                             QStringLiteral("\nBorad Power Draw : "), QStringLiteral("\nGPU Temperature : "),
                             QStringLiteral("\nGPU Utilization : ")};
    for (const QString &label : labels) {
        if (!detail.contains(label))
            return QStringLiteral("vendorToolDetail lost the label \"%1\"").arg(label.trimmed());
    }
    hardwareshaping::engineUtilizationDetail(value);
    hardwareshaping::disks(value, {{value.left(40), -1, Q_INT64_C(1) << 62}});
    return firstOf({framed(hardwareshaping::processor(value), "processor"),
                    framed(hardwareshaping::graphicsAdapter(adapter, hardwareshaping::memoryUsageText(value), detail),
                           "graphicsAdapter"),
                    framed(hardwareshaping::physicalMemory(value), "physicalMemory"),
                    framed(hardwareshaping::pageFile(value), "pageFile"),
                    framed(graphicsshaping::tdrValues(value), "tdrValues")});
}

QString softwareShaping(const QByteArray &input)
{
    const QString value = text(input);
    QVector<records::CheckRecord> all;
    QString verdict;
    const QVector<QPair<const char *, records::ShapedCheck (*)(const QString &)>> shapes{
        {"systemUpdates", softwareshaping::systemUpdates},
        {"firewallConfiguration", softwareshaping::firewallConfiguration},
        {"firewallRules", softwareshaping::firewallRules},
        {"networkStatus", softwareshaping::networkStatus},
        {"vpnConnections", softwareshaping::vpnConnections},
        {"conflictingProcesses", softwareshaping::conflictingProcesses}};
    for (const auto &shape : shapes) {
        const records::ShapedCheck check = shape.second(value);
        all += check.records;
        if (verdict.isEmpty())
            verdict = framed(check, shape.first);
    }
    for (const records::CheckRecord &record : softwareshaping::withoutNoneClaims(all)) {
        if (record.text.startsWith(QLatin1String("There is no")))
            return QStringLiteral("withoutNoneClaims kept \"%1\"").arg(record.text);
    }
    return verdict;
}

// The findings of the bytes read as a report of every kind, whole.
findings::Review reviewOf(const QByteArray &input)
{
    findings::NewestReports newest;
    for (const char *prefix : {"SupportLog_HardWare_", "SupportLog_software_confliction_", "SupportLog_network_speedTest_",
                               "SupportLog_network_server_", "SupportLog_network_config_", "SupportLog_zip_"})
        newest.offer(reportName(QLatin1String(prefix)), input);
    return findings::review(newest.reportSet());
}

QString reportFindings(const QByteArray &input)
{
    const findings::Review review = reviewOf(input);
    // The same bytes in pieces read as they read whole.
    findings::NewestReports pieces;
    findings::ReportReader reader(findings::ReportKind::Hardware, reportName(QStringLiteral("SupportLog_HardWare_")));
    inPieces(input, kPiece, [&](const char *bytes, int size) { reader.add(bytes, size); });
    reader.finishInto(&pieces);
    findings::NewestReports whole;
    whole.offer(reportName(QStringLiteral("SupportLog_HardWare_")), input);
    if (findings::fileText(findings::review(pieces.reportSet())) != findings::fileText(findings::review(whole.reportSet())))
        return QStringLiteral("the report read in pieces says other than read whole");
    for (const findings::Finding &finding : review.found) {
        if (holdsLineBreak(finding.title) || holdsLineBreak(finding.advice) || holdsLineBreak(finding.evidence.value))
            return QStringLiteral("finding %1 spans lines: %2").arg(finding.code, finding.title);
        if (finding.evidence.value.size() > findings::kMaxEvidenceChars)
            return QStringLiteral("finding %1: evidence longer than its limit").arg(finding.code);
    }
    findings::paneBlock(review);
    return QString();
}

QString recordFacts(const QByteArray &input)
{
    const QString value = text(input);
    using namespace findings::facts;
    number(value);
    if (const auto labelled = labelledNumber(value, QStringLiteral("TotalMemorySize")); labelled && holdsLineBreak(labelled->line))
        return QStringLiteral("labelledNumber: its line spans lines");
    for (const QMap<QString, QString> &block : formatListBlocks(value))
        quoted(block, {QStringLiteral("DisplayName"), QStringLiteral("Action")});
    for (const Volume &volume : volumes(value)) {
        if (holdsLineBreak(volume.line))
            return QStringLiteral("volumes: a line spans lines");
    }
    nameList(value.split(QLatin1Char('\n')));
    for (const pingstatistics::Outcome &outcome : pingstatistics::outcomes(value)) {
        if (holdsLineBreak(outcome.line) || outcome.target.isEmpty())
            return QStringLiteral("ping outcome \"%1\" not one line of a target").arg(outcome.line);
    }
    const QString line = oneLine(value);
    return firstOf({unless(!holdsLineBreak(line), "oneLine spans lines"),
                    unless(findings::capped(value, findings::kMaxFieldChars).size() <= findings::kMaxFieldChars,
                           "capped longer than its limit")});
}

QString namesShown(const QByteArray &input)
{
    shareable::KnownNames whole;
    shareable::addNamesShownIn(input, &whole);
    for (const QStringList *names : {&whole.computerNames, &whole.dnsSuffixes}) {
        for (const QString &name : *names) {
            if (name.isEmpty() || name.contains(kBlank))
                return QStringLiteral("a name learned is empty or holds a blank: \"%1\"").arg(name);
        }
    }
    // Short texts hold no line too long for the streaming reader: in pieces
    // it learns what it learns of the whole.
    shareable::KnownNames streamed;
    shareable::NamesShownIn reader(&streamed);
    inPieces(input, kPiece, [&](const char *bytes, int size) { reader.feed(bytes, size); });
    reader.finish();
    const auto asSet = [](const QStringList &names) { return QSet<QString>(names.begin(), names.end()); };
    if (input.size() < 4000
        && (asSet(streamed.computerNames) != asSet(whole.computerNames)
            || asSet(streamed.dnsSuffixes) != asSet(whole.dnsSuffixes)))
        return QStringLiteral("names learned in pieces differ from those of the whole text");
    return QString();
}

QString scrubbing(const QByteArray &input)
{
    shareable::KnownNames names;
    names.computerNames << QStringLiteral("RENDER-PC");
    names.userNames << QStringLiteral("jürgen");
    names.hostNames << QStringLiteral("nas.studio.lan");
    shareable::addNamesShownIn(input.left(64 * 1024), &names);
    // Odd names too: the first lines of the input.
    names.userNames += text(input.left(200)).split(QLatin1Char('\n')).mid(0, 3);
    shareable::Pseudonyms pseudonyms(names);
    shareable::TextScrubber scrubber(pseudonyms);
    const QByteArray cleaned = scrubber.clean(input);
    QByteArray streamed;
    shareable::TextScrubber::Stream stream(scrubber);
    inPieces(input, kPiece, [&](const char *bytes, int size) { stream.feed(bytes, size, &streamed); });
    stream.finish(&streamed);
    if (streamed != cleaned)
        return QStringLiteral("the scrubber's stream differs from clean() of the whole text");

    textencoding::Survey survey;
    inPieces(input, 4096, [&](const char *bytes, int size) { survey.feed(bytes, size); });
    const textencoding::Encoding encoding = survey.verdict();
    if (encoding == textencoding::Encoding::EightBit || encoding == textencoding::Encoding::Utf16LE
        || encoding == textencoding::Encoding::Utf16BE) {
        shareable::EntryCleaner cleaner(scrubber, encoding);
        QByteArray out;
        inPieces(input, kPiece, [&](const char *bytes, int size) { cleaner.feed(bytes, size, &out); });
        cleaner.finish(&out);
    }
    return QString();
}

QString probeAnswer(const QByteArray &input)
{
    d3d12probe::fromLine(std::string_view(input.constData(), size_t(input.size())));
    childwait::Outcome outcome;
    outcome.output = input;
    const d3d12probe::Answer answer = d3d12probe::answerOf(outcome, 20000);
    return unless(answer.problem.isEmpty() || answer.facts.creationResult < 0,
                  "a probe without a readable answer counts as a created device");
}

QString settingsAndAddresses(const QByteArray &input)
{
    const settingstext::Decoded decoded = settingstext::decode(input);
    if (!decoded.ok)
        return unless(!decoded.problem.isEmpty(), "a refused settings file without a reason");
    if (settingstext::encode(decoded.text, decoded) != input)
        return QStringLiteral("the settings text does not encode back to its bytes");
    const settingsgroups::Text parsed = settingsgroups::parse(decoded.text);
    for (const settingsgroups::Group &group : parsed.groups) {
        for (const settingsgroups::Entry &entry : group.entries) {
            const int lineEnd = entry.lineStart + entry.lineLength;
            if (entry.lineStart < 0 || lineEnd > decoded.text.size()
                || (entry.assignment
                    && (entry.valueStart < entry.lineStart || entry.valueStart + entry.valueLength > lineEnd))
                || holdsLineBreak(decoded.text.mid(entry.lineStart, entry.lineLength)))
                return QStringLiteral("entry \"%1\" lies outside its line").arg(entry.key);
        }
    }
    const addresslist::AddressList list = addresslist::addressList(settingsgroups::entriesOf(parsed, QStringLiteral("ipconfig")));
    if (list.lines.size() > pingtargets::kMaxTargets)
        return QStringLiteral("the address list is longer than its limit");
    for (const QString &line : list.lines) {
        if (holdsLineBreak(line))
            return QStringLiteral("an address-list line spans lines");
    }
    for (const QString &target : pingtargets::targetsOf(decoded.text)) {
        if (target.isEmpty() || target.contains(kDelimiter))
            return QStringLiteral("target \"%1\" is empty or holds a delimiter").arg(target);
        if (addresslist::isAddress(target)) {
            const QString ascii = addresslist::asciiForm(target);
            for (const QChar c : ascii) {
                if (c.unicode() > 0x7f)
                    return QStringLiteral("the ASCII form of \"%1\" is not ASCII").arg(target);
            }
        }
    }
    shareable::addressListHosts({decoded.text});
    return QString();
}

QString consoleDecoding(const QByteArray &input)
{
    for (unsigned codePage : {0u, 437u, 850u, 1252u, 932u})
        consoletext::decode(input, codePage);
    // Valid UTF-8 decodes whole, NUL bytes and all (what stands in for
    // invalid bytes differs between Qt and Windows).
    const QString decoded = text(input);
    return unless(decoded.toUtf8() != input || consoletext::decode(input, 65001) == decoded, "UTF-8 not decoded whole");
}

QVector<EntryPoint> entryPoints()
{
    const QByteArrayList console = consoleSeeds();
    const QByteArrayList reports = reportSeeds();
    QByteArrayList settings{kSettings, addressGroup({QStringLiteral("render.example"), QStringLiteral("10.0.0.1")}),
                            QByteArray("\xEF\xBB\xBF") + kSettings};
    for (const char *codec : {"UTF-16LE", "UTF-16BE", "UTF-32LE", "UTF-32BE"})
        settings << reencoded(kSettings, codec);
    const QByteArrayList probe{"creation=0x00000000 query=0x00000000 tier=11\n",
                               "driver says hello\r\ncreation=0x80004005 query=0x00000000 tier=0\r\n"};
    return {{"textcut", console, textCuts},
            {"hardware and graphics shaping", console, hardwareShaping},
            {"software shaping", console, softwareShaping},
            {"report reader and findings", reports, reportFindings},
            {"record facts and ping statistics", console + QByteArrayList{kPing} + reports, recordFacts},
            {"known names", console + reports, namesShown},
            {"pseudonyms, scrubber and text encoding", console + reports, scrubbing},
            {"d3d12 probe answer", probe, probeAnswer},
            {"settings text, groups and address list", settings, settingsAndAddresses},
            {"console text", console, consoleDecoding}};
}

// ---- The inputs.

// Bytes the parsers care about, drawn more often than the others.
const QByteArray kTelling = QByteArrayLiteral(" \t\r\n\r\n:.=,;-[]\"\\%/0123456789abcdefABCDEF\xC3\xA9\xFF\0") + "I20240501 10:15:00.123456 ";

QByteArrayList randomInputs(QRandomGenerator &random, const QByteArrayList &seeds)
{
    QByteArrayList inputs;
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes;
        const int size = int(random.bounded(i < 200 ? 200 : 4000));
        while (bytes.size() < size) {
            switch (random.bounded(4)) {
            case 0: bytes += char(random.bounded(256)); break;
            case 1: bytes += kTelling.at(int(random.bounded(kTelling.size()))); break;
            case 2: { // a piece of a fixture
                const QByteArray &seed = seeds.at(int(random.bounded(seeds.size())));
                const int from = int(random.bounded(seed.size() + 1));
                bytes += seed.mid(from, int(random.bounded(80)));
                break;
            }
            default: bytes += QByteArray(int(random.bounded(40)), kTelling.at(int(random.bounded(kTelling.size()))));
            }
        }
        inputs << bytes;
    }
    return inputs;
}

QByteArrayList mutatedInputs(QRandomGenerator &random, const QByteArrayList &seeds)
{
    QByteArrayList inputs;
    for (const QByteArray &seed : seeds) {
        if (seed.isEmpty())
            continue;
        // Cut short at every few bytes.
        for (int at = 0; at < seed.size(); at += qMax(1, seed.size() / 100))
            inputs << seed.left(at);
        QByteArray lineEnds = seed;
        inputs << lineEnds.replace("\r\n", "\n").replace('\n', '\r') << QByteArray(seed).replace("\r\n", "\r\n\r\n")
               << QByteArray(seed).replace('\n', "\r\r\n") << QByteArray(seed).replace("\r\n", "\n");
        for (int i = 0; i < 30; ++i) {
            QByteArray flipped = seed;
            for (int n = 0; n < 3; ++n)
                flipped[int(random.bounded(seed.size()))] = char(random.bounded(256));
            QByteArray withNuls = seed;
            for (int n = 0; n < 4; ++n)
                withNuls.insert(int(random.bounded(withNuls.size() + 1)), random.bounded(2) ? '\0' : '\xC3');
            inputs << flipped << withNuls;
        }
    }
    return inputs;
}

QByteArrayList largeInputs(const QByteArrayList &seeds)
{
    // The seeds' longest line, over and over; their text as one line.
    QByteArray longestLine;
    QByteArray oneLine;
    for (const QByteArray &seed : seeds) {
        for (const QByteArray &line : seed.split('\n')) {
            if (line.size() > longestLine.size())
                longestLine = line;
        }
        oneLine += QByteArray(seed).replace('\r', ' ').replace('\n', ' ');
    }
    const auto repeated = [](const QByteArray &piece, int size) {
        QByteArray bytes;
        bytes.reserve(size + piece.size());
        while (bytes.size() < size)
            bytes += piece;
        return bytes;
    };
    constexpr int kMegabyte = (1 << 20) / kLargeShrink;
    QByteArrayList inputs{repeated(longestLine + '\n', 4 * kMegabyte), repeated(oneLine, kMegabyte),
                          repeated(seeds.first(), kMegabyte)};
    // Runs of one byte, that a backtracking expression or a loop that
    // searches from every position takes quadratic time over.
    for (const char byte : {'-', ' ', '\n', '\0', '\xFF', ':', '.'})
        inputs << QByteArray(kMegabyte / 4, byte) + 'x';
    return inputs;
}

} // namespace

class ArbitraryInputTest : public QObject
{
    Q_OBJECT

private slots:
    void holdsUp_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("family");
        const QVector<EntryPoint> entries = entryPoints();
        for (int entry = 0; entry < entries.size(); ++entry) {
            for (const char *family : {"random", "mutated", "large"}) {
                QTest::addRow("%s: %s", entries.at(entry).name, family) << entry << QString::fromLatin1(family);
            }
        }
    }
    void holdsUp()
    {
        QFETCH(int, entry);
        QFETCH(QString, family);
        const EntryPoint point = entryPoints().at(entry);
        QRandomGenerator random(kSeed + quint32(entry));
        const QByteArrayList inputs = family == QLatin1String("random")    ? randomInputs(random, point.seeds)
                                    : family == QLatin1String("mutated") ? mutatedInputs(random, point.seeds)
                                                                         : largeInputs(point.seeds);
        for (int i = 0; i < inputs.size(); ++i) {
            const qint64 start = processorMs();
            const QString broken = point.check(inputs.at(i));
            const qint64 elapsed = processorMs() - start;
            if ((!broken.isEmpty() || elapsed >= kBoundMs) && qEnvironmentVariableIsSet("ARBITRARY_INPUT_FAILURE")) {
                QFile failure(qEnvironmentVariable("ARBITRARY_INPUT_FAILURE"));
                QVERIFY(failure.open(QIODevice::WriteOnly) && failure.write(inputs.at(i)) == inputs.at(i).size());
            }
            QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("input %1 (%2 bytes, starting %3): %4")
                                                      .arg(i)
                                                      .arg(inputs.at(i).size())
                                                      .arg(QString::fromLatin1(inputs.at(i).left(60).toPercentEncoding()), broken)));
            QVERIFY2(elapsed < kBoundMs, qPrintable(QStringLiteral("input %1 (%2 bytes) took %3 ms of processor time")
                                                        .arg(i)
                                                        .arg(inputs.at(i).size())
                                                        .arg(elapsed)));
        }
    }
};

QTEST_GUILESS_MAIN(ArbitraryInputTest)
#include "tst_arbitraryinput.moc"
