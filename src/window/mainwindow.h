#pragma once
// The tool's only window: six action buttons, the output pane, a thin busy
// indicator. Each button runs one public slot; the slots share the action
// frame defined here (button guard, busy indicator, pane, report switch).

#include "findings/findings.h"

#include <QList>
#include <QMainWindow>
#include <QPushButton>
#include <QStringList>

#include <memory>

class PaneObserver;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

public slots:
    void CheckHardware();
    void GetNetInfo();
    void CheckSoftwareConfliction();
    void GetSystemInfo();
    void zipLogs();
    void gatherAndZipAtOnce();
    void disablePushButtons(QPushButton *pressed, bool val);
    void generateConfigFile(bool &iniExist);
    void GetSeverResult();
    void ExportResult();

public:
    // Adds a notice to the pane outside any action (start-up's word on the
    // settings file).
    void showNotice(const QString &text) { appendToPane(text); }

    // Tells observer every text the pane receives and which check it came
    // from; nullptr stops that. The window does not own the observer.
    void setPaneObserver(PaneObserver *observer);

    // Which zip steps end with the shareable copy (zziplog_shareable.zip):
    // by default that of "Check All and Zip At Once" alone.
    enum class ShareableCopy { AfterCheckAll, AfterEveryZip, Never };
    void setShareableCopy(ShareableCopy when) { m_shareableCopy = when; }
    // Whether a zip step opens the file browser on the archive it wrote (the
    // window does; the headless runner does not).
    void setRevealsArchive(bool reveals) { m_revealsArchive = reveals; }
    // Why each shareable copy the window set out to make was not written
    // (the pane's line), in order.
    const QStringList &shareableCopyFailures() const { return m_shareableCopyFailures; }
    // The closing pane line of each zip step that wrote no archive of its run
    // or left files out of it, in order.
    const QStringList &zipShortfalls() const { return m_zipShortfalls; }
    // The reports that could not be written in full (the pane's line for
    // each, said at the end of the action that wrote it), in order.
    const QStringList &unwrittenReports() const { return m_unwrittenReports; }

protected:
    // Closing while an action runs cancels it instead of pulling the window
    // from under it: the running command is stopped, the remaining steps are
    // skipped, and the window closes once the action has unwound.
    void closeEvent(QCloseEvent *event) override;

private:
    // Marks an action as running for its lifetime; actions nest (the
    // combined actions run the others), so this counts.
    class RunningAction
    {
    public:
        explicit RunningAction(MainWindow &window);
        ~RunningAction();
        RunningAction(const RunningAction &) = delete;
        RunningAction &operator=(const RunningAction &) = delete;

    private:
        MainWindow &m_window;
    };

    // Names, for its lifetime, the check whose texts the pane receives, so
    // an observer can tell them apart; the window itself never reads it.
    class CurrentCheck
    {
    public:
        CurrentCheck(MainWindow &window, const char *name);
        ~CurrentCheck();
        CurrentCheck(const CurrentCheck &) = delete;
        CurrentCheck &operator=(const CurrentCheck &) = delete;

    private:
        MainWindow &m_window;
        QString m_previous;
    };

    // Packs the logs into the archive and shows where it went: the zip
    // steps shared by zipLogs and gatherAndZipAtOnce. True when the archive
    // holds the logs of this run.
    bool zipAndReveal();
    // The shareable copy of the archive just made (or, when it was not
    // made, the pane line saying so).
    void makeShareableCopy(bool archived);

    // The hardware, software-conflict and network actions in a row: the
    // part both combined actions share.
    void runInspections();
    // The findings of the reports just written, also written to the
    // findings file (a file that cannot be written is said in the pane).
    findings::Review reviewReports();
    // The findings block at the end of the pane.
    void showFindings(const findings::Review &review);

    // Adds text as a new paragraph at the end of the pane and scrolls to it.
    void appendToPane(const QString &text);
    // The same without telling the observer.
    void showInPane(const QString &text);
    // A notice in the pane and as a WARNING record in the report of the moment.
    void warnInPane(int line, const QString &message);
    void showBusy(bool busy);
    // Says in the pane, once each, the reports that lost records.
    void noteUnwrittenReports();

    std::unique_ptr<Ui::MainWindow> ui;
    QList<QPushButton *> m_buttons;
    int m_runningActions = 0;
    bool m_closePending = false;
    PaneObserver *m_paneObserver = nullptr;
    ShareableCopy m_shareableCopy = ShareableCopy::AfterCheckAll;
    bool m_revealsArchive = true;
    QStringList m_shareableCopyFailures;
    QStringList m_zipShortfalls;
    QStringList m_unwrittenReports;
    QString m_currentCheck;
};
