#include "readrun.h"

#include "findings/findingstext.h"
#include "findingsprinter.h"
#include "findingssummary.h"
#include "inorder.h"
#include "jsontext.h"
#include "supportzip/reportarchive.h"
#include "supportzip/sourcewalk.h"

#include <QThread>

namespace readrun {

namespace {

struct Outcome
{
    QString source;
    QByteArray printed;
    QString problem; // why it was refused; empty when it was read
    findingssummary::Codes codes;
};

// Reads one source and lays out what is printed of it: on a worker
// thread, so it touches nothing but its own.
Outcome outcomeOf(const findings::ReadSource &source, bool json, bool tagged)
{
    Outcome outcome{source.path, {}, source.problem, {}};
    std::optional<findings::Review> review;
    if (outcome.problem.isEmpty())
        review = findings::reviewAt(source.path, &outcome.problem);
    const QString tag = tagged ? source.path : QString();
    if (review) {
        outcome.codes = findingssummary::codesOf(*review);
        outcome.printed = json ? findingsprinter::jsonLines(*review, tag) : findings::fileText(*review).toUtf8();
    } else if (tagged) {
        outcome.printed = json ? jsontext::object({{"source", tag}, {"error", outcome.problem}}) + '\n'
                               : QStringLiteral("Refused: %1.\n").arg(outcome.problem).toUtf8();
    }
    if (tagged && !json)
        outcome.printed.prepend(QStringLiteral("==> %1 <==\n").arg(tag).toUtf8());
    return outcome;
}

} // namespace

bool run(std::FILE *out, const Request &request, const std::function<void(const QString &)> &complain)
{
    findings::SourceWalk walk(request.paths);
    std::optional<findings::ReadSource> first = walk.next();
    // Scripts read one archive's findings as they always were printed.
    const bool tagged = request.paths.size() > 1 || (first && !first->given);

    findingssummary::Summary summary;
    bool printedBefore = false; // text blocks stand apart by an empty line
    const auto write = [out, &printedBefore, &request](const QByteArray &bytes) {
        if (bytes.isEmpty())
            return;
        const QByteArray apart = printedBefore && !request.json ? QByteArray("\n") : QByteArray();
        std::fwrite((apart + bytes).constData(), 1, size_t(apart.size() + bytes.size()), out);
        std::fflush(out);
        printedBefore = true;
    };
    const int threads = QThread::idealThreadCount();
    inorder::run<findings::ReadSource, Outcome>(
        threads, 2 * threads,
        [&first, &walk]() {
            std::optional<findings::ReadSource> next = std::move(first);
            first.reset();
            return next ? next : walk.next();
        },
        [&request, tagged](const findings::ReadSource &source) { return outcomeOf(source, request.json, tagged); },
        [&](Outcome outcome) {
            write(outcome.printed);
            if (outcome.problem.isEmpty()) {
                summary.addRead(outcome.codes);
            } else {
                summary.addRefused();
                complain(outcome.problem + QLatin1Char('.'));
            }
        });
    if (request.summary)
        write(request.json ? summary.jsonLines() : summary.text());
    return summary.refused() == 0;
}

} // namespace readrun
