#pragma once
// Following an action from outside the window: the headless runner prints
// what the pane receives, naming the check each text came from. A plain
// interface rather than a signal, so the window's meta-object stays as it
// is; with no observer set the window behaves exactly as without one.

#include <QString>

class PaneObserver
{
public:
    virtual ~PaneObserver() = default;

    // A check (or a step of an action that shows text) begins; the texts
    // that follow until the next call come from it.
    virtual void checkStarted(const QString &check) = 0;
    // A text the pane has just received, exactly as it was appended.
    virtual void paneTextAppended(const QString &check, const QString &text) = 0;

protected:
    PaneObserver() = default;
    PaneObserver(const PaneObserver &) = default;
    PaneObserver &operator=(const PaneObserver &) = default;
};
