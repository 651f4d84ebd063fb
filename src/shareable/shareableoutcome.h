#pragma once
// What became of a shareable copy and the pane's line saying so. The copy is
// written by a program of its own (SupportToolShareable, which links the zip
// library); the window runs it and shows its line, so both sides share this.

#include <QString>
#include <QStringList>

namespace shareablecopy {

inline QString copyName() { return QStringLiteral("zziplog_shareable.zip"); }
inline QString mapName() { return QStringLiteral("zziplog_shareable_map.txt"); }

struct Outcome
{
    enum class Status { Written, Failed, Cancelled };
    Status status = Status::Failed;
    QString problem;        // why it failed
    int textEntries = 0;    // cleaned into the copy
    QStringList leftOut;    // (cleaned) names of the entries left out
};

// The pane's line after the zip step: where the copy and its map are, or
// why the copy was not written.
QString paneText(const Outcome &outcome, const QString &copyPath, const QString &mapPath);
// The pane's line when the copy was not written, for the reason given.
QString failureText(const QString &problem);
// The pane's line when the archive of this run was not made (so neither
// is its copy).
QString notMadeText();

} // namespace shareablecopy
