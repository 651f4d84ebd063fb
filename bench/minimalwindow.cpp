// The yardstick of the window benchmark: the smallest Qt widgets window of
// the tool's kind, a main window holding a text pane and nothing else.

#include <QApplication>
#include <QMainWindow>
#include <QTextEdit>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QTextEdit(&window)); // owned by the window
    window.show();
    return app.exec();
}
