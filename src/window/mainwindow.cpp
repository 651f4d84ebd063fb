#include "window/mainwindow.h"

#include "process/cancellation.h"
#include "records/records.h"
#include "reports/reportwrites.h"
#include "window/paneobserver.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

namespace {

// Gives a button borderless rounded corners and its colours at rest, under
// the mouse and while pressed.
void setButtonStyle(QPushButton *button, const QString &normalBackground, const QString &normalText,
                    const QString &hoverBackground, const QString &hoverText, const QString &pressedBackground,
                    const QString &pressedText)
{
    const QString normal = QStringLiteral("QPushButton{border-style:none;color:%1;background:%2;border-radius:5px;}")
                               .arg(normalText)
                               .arg(normalBackground);
    const QString hover = QStringLiteral("QPushButton:hover{color:%1;background:%2;}").arg(hoverText).arg(hoverBackground);
    const QString pressed =
        QStringLiteral("QPushButton:pressed{color:%1;background:%2;}").arg(pressedText).arg(pressedBackground);
    button->setStyleSheet(normal + hover + pressed);
}

// The pane's scroll bars draw the arrows of their buttons only when they
// are polished a second time once the window's style sheets are all in
// place; the one polish of the first show leaves the buttons empty. (The
// whole window used to get that second polish from the window flags.)
void polishPaneScrollBars(QTextEdit &pane)
{
    for (QScrollBar *bar : {pane.verticalScrollBar(), pane.horizontalScrollBar()}) {
        bar->style()->unpolish(bar);
        bar->style()->polish(bar);
    }
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>())
{
    // The window flags come before the form: set afterwards they re-parent
    // the window, which polishes all of its widgets against their style
    // sheets once more, a tenth of the window's construction (see
    // polishPaneScrollBars). The flags that result are the same.
    setWindowFlags(Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Tessaly Render Support Tool"));
    setFixedSize(767, 425);

    m_buttons << ui->harwareBtn << ui->softwareBtn << ui->networkBtn << ui->autoBtn << ui->zipBtn << ui->everything;
    for (QPushButton *button : qAsConst(m_buttons)) {
        setButtonStyle(button, QStringLiteral("#232833"), QStringLiteral("#A5A6A9"), QStringLiteral("#3F424A"),
                       QStringLiteral("#CBCCCE"), QStringLiteral("#12161F"), QStringLiteral("#6F7380"));
    }
    setButtonStyle(ui->everything, QStringLiteral("#854BFA"), QStringLiteral("#FFFFFF"), QStringLiteral("#FFFFFF"),
                   QStringLiteral("#854BFA"), QStringLiteral("#6C0C9C"), QStringLiteral("#FFFFFF"));

    // A range of 0 to 0 makes the bar a busy indicator without a value.
    ui->barProgress->setValue(0);
    ui->barProgress->setMinimum(0);
    ui->barProgress->setMaximum(0);
    ui->barProgress->hide();

    connect(ui->autoBtn, SIGNAL(clicked()), this, SLOT(GetSystemInfo()));
    connect(ui->harwareBtn, SIGNAL(clicked()), this, SLOT(CheckHardware()));
    connect(ui->softwareBtn, SIGNAL(clicked()), this, SLOT(CheckSoftwareConfliction()));
    connect(ui->networkBtn, SIGNAL(clicked()), this, SLOT(GetNetInfo()));
    connect(ui->zipBtn, SIGNAL(clicked()), this, SLOT(zipLogs()));
    connect(ui->everything, SIGNAL(clicked()), this, SLOT(gatherAndZipAtOnce()));
    polishPaneScrollBars(*ui->textEdit);
}

MainWindow::~MainWindow() = default;

void MainWindow::showInPane(const QString &text)
{
    ui->textEdit->append(text);
    QScrollBar *bar = ui->textEdit->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void MainWindow::appendToPane(const QString &text)
{
    showInPane(text);
    if (m_paneObserver)
        m_paneObserver->paneTextAppended(m_currentCheck, text);
}

void MainWindow::setPaneObserver(PaneObserver *observer) { m_paneObserver = observer; }

MainWindow::CurrentCheck::CurrentCheck(MainWindow &window, const char *name)
    : m_window(window), m_previous(window.m_currentCheck)
{
    m_window.m_currentCheck = QLatin1String(name);
    if (m_window.m_paneObserver)
        m_window.m_paneObserver->checkStarted(m_window.m_currentCheck);
}

MainWindow::CurrentCheck::~CurrentCheck() { m_window.m_currentCheck = m_previous; }

void MainWindow::showBusy(bool busy)
{
    ui->barProgress->setVisible(busy);
}

void MainWindow::disablePushButtons(QPushButton *pressed, bool val)
{
    Q_UNUSED(pressed) // names the calling action only
    for (QPushButton *button : qAsConst(m_buttons))
        button->setDisabled(val);
}

MainWindow::RunningAction::RunningAction(MainWindow &window) : m_window(window) { ++m_window.m_runningActions; }

void MainWindow::noteUnwrittenReports()
{
    for (const QString &line : reportwrites::newlyUnwritten()) {
        m_unwrittenReports << line;
        appendToPane(line);
    }
}

MainWindow::RunningAction::~RunningAction()
{
    m_window.noteUnwrittenReports();
    if (--m_window.m_runningActions > 0 || !m_window.m_closePending)
        return;
    // The cancelled action has unwound: now the close can go through.
    cancellation::reset();
    m_window.m_closePending = false;
    QTimer::singleShot(0, &m_window, &QWidget::close);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_runningActions == 0) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_closePending)
        return;
    m_closePending = true;
    records::warning(records::kMainWindow, 30,
                     QStringLiteral("The window was closed while an action was running: the action was cancelled "
                                    "and its remaining checks were skipped."));
    cancellation::request();
}
