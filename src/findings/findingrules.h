#pragma once
// The shape of the rule table and the rules themselves. Each rule is a
// pure function from the reports to what it found there; the table
// (findingtable.cpp) gives it its code, severity, limits and texts.

#include "findings/findings.h"

#include <QPair>
#include <QString>
#include <QVector>

namespace findings {

struct ReportSet;

// A rule's thresholds, in the units its texts name.
struct Limits
{
    double value = 0;       // the rule's threshold
    double percent = 0;     // disk-space-low: the least share of a volume that must be free
    double smallVolume = 0; // disk-space-low: volumes smaller than this (GB) are special ones, never judged
};

// What one rule saw: the texts that fill the placeholders of its title and
// advice ("{name}" is replaced by the text given for name; "{limit}" and
// "{percent}" come from the table), the record that shows it, and what it
// is about (a volume, a firewall rule, a URL, a ping target; empty for the
// machine as a whole): a rule makes one finding per subject.
struct Hit
{
    QVector<QPair<QString, QString>> fields;
    Evidence evidence;
    QString subject;
};

using RuleFunction = QVector<Hit> (*)(const ReportSet &reports, const Limits &limits);

struct Rule
{
    const char *code;
    Severity severity;
    Limits limits;
    const char *title;
    const char *advice;
    RuleFunction find;
};

// The table, in the order findings of one severity are listed.
const QVector<Rule> &ruleTable();

namespace rules {
QVector<Hit> d3d12Unsupported(const ReportSet &reports, const Limits &limits);
QVector<Hit> raytracingUnsupported(const ReportSet &reports, const Limits &limits);
QVector<Hit> tdrDelayShort(const ReportSet &reports, const Limits &limits);
QVector<Hit> gpuMemoryLow(const ReportSet &reports, const Limits &limits);
QVector<Hit> memoryLow(const ReportSet &reports, const Limits &limits);
QVector<Hit> memoryAvailableLow(const ReportSet &reports, const Limits &limits);
QVector<Hit> pageFileMissing(const ReportSet &reports, const Limits &limits);
QVector<Hit> diskSpaceLow(const ReportSet &reports, const Limits &limits);
QVector<Hit> conflictingSoftware(const ReportSet &reports, const Limits &limits);
QVector<Hit> firewallBlocksTessaly(const ReportSet &reports, const Limits &limits);
QVector<Hit> vpnPresent(const ReportSet &reports, const Limits &limits);
QVector<Hit> pingLoss(const ReportSet &reports, const Limits &limits);
QVector<Hit> serverUnreachable(const ReportSet &reports, const Limits &limits);
QVector<Hit> serverSlow(const ReportSet &reports, const Limits &limits);
} // namespace rules

} // namespace findings
