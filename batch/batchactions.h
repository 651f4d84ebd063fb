#pragma once
// The actions the headless runner can run: one per button of the window,
// each the very slot the button runs, and the findings of the newest
// reports, which runs no check.

#include <QString>
#include <QVector>

class MainWindow;

namespace batchactions {

struct Action
{
    QString name;       // as given on the command line
    QString button;     // the window's button label, on one line; or what the action does
    void (MainWindow::*slot)(); // nullptr for the findings action
};

// All of them, in the order --help lists them.
const QVector<Action> &all();
// The action called name, or nullptr.
const Action *find(const QString &name);
// "hardware, software, network, zip, auto, all or findings".
QString namesInWords();

} // namespace batchactions
