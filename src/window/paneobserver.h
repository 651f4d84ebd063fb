#pragma once
// Following an action from outside the window: the headless runner prints
// what the pane receives, naming the check each text came from. A plain
// interface rather than a signal, so the window's meta-object stays as it
// is; with no observer set the window behaves exactly as without one.

#include "findings/findings.h"

#include <QString>
#include <QVector>

class PaneObserver
{
public:
    virtual ~PaneObserver() = default;

    // A check (or a step of an action that shows text) begins; the texts
    // that follow until the next call come from it.
    virtual void checkStarted(const QString &check) = 0;
    // A text the pane has just received, exactly as it was appended.
    virtual void paneTextAppended(const QString &check, const QString &text) = 0;
    // The findings block the pane has just received (after the combined
    // actions), with the findings it lists. An observer that does not care
    // for them one by one takes it as any other text.
    virtual void findingsShown(const findings::Review &review, const QString &paneText)
    {
        Q_UNUSED(review)
        paneTextAppended(QStringLiteral("findings"), paneText);
    }

protected:
    PaneObserver() = default;
    PaneObserver(const PaneObserver &) = default;
    PaneObserver &operator=(const PaneObserver &) = default;
};
