#pragma once
// The actions the headless runner can run: one per button of the window,
// each the very slot the button runs.

#include <QString>
#include <QVector>

class MainWindow;

namespace batchactions {

struct Action
{
    QString name;       // as given on the command line
    QString button;     // the window's button label, on one line
    void (MainWindow::*slot)();
};

// All of them, in the order --help lists them.
const QVector<Action> &all();
// The action called name, or nullptr.
const Action *find(const QString &name);
// "hardware, software, network, zip, auto or all".
QString namesInWords();

} // namespace batchactions
