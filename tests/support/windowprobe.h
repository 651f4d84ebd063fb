#pragma once
// Looking at the main window from a test: the output pane, the six action
// buttons, and whether an action is still under way.

#include <QList>
#include <QString>

class QPushButton;
class QTimer;
class QWidget;

namespace testsupport {

// Everything the output pane shows, paragraphs separated by "\n".
QString paneText(const QWidget &window);
// What the pane gained between two looks at it: every append starts a new
// paragraph, so what was added follows the old text and one line feed.
QString addedPaneText(const QString &before, const QString &now);
// How the pane shows text appended to it (a "\r\n" in the text, for
// instance, becomes a paragraph break).
QString asPaneShows(const QString &text);
// The pane's text without the findings block the combined actions end it
// with ("Findings: N" and the lines after it); the text unchanged when it
// has none.
QString withoutFindingsBlock(const QString &pane);
// The six action buttons, in the order of the window's button list.
QList<QPushButton *> actionButtons(const QWidget &window);
// All six buttons enabled and the busy indicator hidden.
bool idle(const QWidget &window);
// Closes the window as soon as a file appears (a fixture noting it has
// started), looking every 20 ms with poll while poll lives.
void closeOnceFileExists(QWidget &window, QTimer &poll, const QString &path);

} // namespace testsupport
