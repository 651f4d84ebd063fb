#include "windowprobe.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace testsupport {

QString paneText(const QWidget &window)
{
    const auto *pane = window.findChild<QTextEdit *>(QStringLiteral("textEdit"));
    return pane ? pane->toPlainText() : QString();
}

QString addedPaneText(const QString &before, const QString &now)
{
    if (!now.startsWith(before))
        return QStringLiteral("<the pane lost text it held before>");
    return before.isEmpty() ? now : now.mid(before.size() + 1);
}

QString asPaneShows(const QString &text)
{
    QTextEdit scratch;
    scratch.append(text);
    return scratch.toPlainText();
}

QString withoutFindingsBlock(const QString &pane)
{
    const int block = pane.lastIndexOf(QStringLiteral("\nFindings: "));
    return block < 0 ? pane : pane.left(block);
}

QList<QPushButton *> actionButtons(const QWidget &window)
{
    QList<QPushButton *> buttons;
    for (const char *name : {"harwareBtn", "softwareBtn", "networkBtn", "autoBtn", "zipBtn", "everything"})
        buttons << window.findChild<QPushButton *>(QLatin1String(name));
    return buttons;
}

bool idle(const QWidget &window)
{
    for (const QPushButton *button : actionButtons(window)) {
        if (!button || !button->isEnabled())
            return false;
    }
    const auto *busy = window.findChild<QProgressBar *>(QStringLiteral("barProgress"));
    return busy && !busy->isVisible();
}

void closeOnceFileExists(QWidget &window, QTimer &poll, const QString &path)
{
    QObject::connect(&poll, &QTimer::timeout, &window, [&window, &poll, path] {
        if (QFile::exists(path)) {
            poll.stop();
            window.close();
        }
    });
    poll.start(20);
}

} // namespace testsupport
