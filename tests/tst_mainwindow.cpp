// The window as the user first sees it, and the wiring of its buttons.

#include "testsupport.h"
#include "window/mainwindow.h"

#include <QProgressBar>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

namespace {
QPushButton *button(MainWindow &window, const char *name)
{
    return window.findChild<QPushButton *>(QLatin1String(name));
}

QString standardStyle()
{
    return QStringLiteral("QPushButton{border-style:none;color:#A5A6A9;background:#232833;border-radius:5px;}"
                          "QPushButton:hover{color:#CBCCCE;background:#3F424A;}"
                          "QPushButton:pressed{color:#6F7380;background:#12161F;}");
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initLogging(); }

    void windowFrame()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessaly Render Support Tool"));
        QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(window.size(), QSize(767, 425));
        QCOMPARE(window.minimumSize(), QSize(767, 425));
        QCOMPARE(window.maximumSize(), QSize(767, 425));
        // Exactly these (the title and menu hints the toolkit adds): a title
        // bar with minimise and close buttons, no maximise button.
        QCOMPARE(int(window.windowFlags()), int(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                                | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint));
        QVERIFY(window.styleSheet().contains(QStringLiteral("background-color: rgb(29, 33, 41);")));
    }

    // The pane's scroll bar draws an arrow in each of its buttons (the
    // window flags' re-polish gives them; set before the form, they would
    // leave the buttons empty).
    void scrollBarButtonsShowArrows()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QScrollBar *bar = window.findChild<QTextEdit *>(QStringLiteral("textEdit"))->verticalScrollBar();
        const QImage image = bar->grab().toImage();
        const int side = image.width();
        for (const int top : {0, image.height() - side}) {
            int light = 0; // in the middle of the button, inside its frame
            for (int y = top + side / 4; y < top + side * 3 / 4; ++y) {
                for (int x = side / 4; x < side * 3 / 4; ++x)
                    light += qGray(image.pixel(x, y)) > 128;
            }
            QVERIFY2(light > 0, qPrintable(QStringLiteral("no arrow in the button at %1").arg(top)));
        }
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("auto") << "autoBtn" << "Automatic PC\nConditions Check" << QRect(20, 30, 141, 51);
        QTest::newRow("hardware") << "harwareBtn" << "Hardware Analysis" << QRect(20, 100, 141, 51);
        QTest::newRow("software") << "softwareBtn" << "Software Confliction\nAnalysis" << QRect(20, 170, 141, 51);
        QTest::newRow("network") << "networkBtn" << "Network Status\nDiagnose" << QRect(20, 240, 141, 51);
        QTest::newRow("zip") << "zipBtn" << "Collect logs and Zip" << QRect(440, 310, 141, 51);
        QTest::newRow("everything") << "everything" << "Check All and Zip\nAt Once " << QRect(600, 310, 141, 51);
    }
    void buttons()
    {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QFETCH(QRect, geometry);
        MainWindow window;
        QPushButton *found = window.findChild<QPushButton *>(name);
        QVERIFY(found);
        QCOMPARE(found->text(), label);
        QCOMPARE(found->geometry(), geometry);
        QVERIFY(found->isEnabled());
        if (name == QLatin1String("everything")) {
            QCOMPARE(found->styleSheet(),
                     QStringLiteral("QPushButton{border-style:none;color:#FFFFFF;background:#854BFA;border-radius:5px;}"
                                    "QPushButton:hover{color:#854BFA;background:#FFFFFF;}"
                                    "QPushButton:pressed{color:#FFFFFF;background:#6C0C9C;}"));
        } else {
            QCOMPARE(found->styleSheet(), standardStyle());
        }
    }

    void paneAndBusyIndicator()
    {
        MainWindow window;
        window.show();
        auto *bar = window.findChild<QProgressBar *>(QStringLiteral("barProgress"));
        QVERIFY(bar);
        QVERIFY(!bar->isVisible());
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 0);
        QCOMPARE(bar->geometry(), QRect(30, 390, 711, 4));

        auto *pane = window.findChild<QTextEdit *>(QStringLiteral("textEdit"));
        QVERIFY(pane);
        QCOMPARE(pane->geometry(), QRect(190, 30, 551, 261));
        QVERIFY(!pane->isReadOnly());
        const QString text = pane->toPlainText();
        const QStringList lines = {
            QStringLiteral(":Check all the following information at once"),
            QStringLiteral(":Analyze hardware conditions, Windows update versions and driver versions"),
            QStringLiteral(":Analyze software conflictions with other third party software"),
            QStringLiteral(":Fetch Network Conditions, Status and speed tests(TIME COMSUMPTION WARNING)")};
        int from = 0;
        for (const QString &line : lines) {
            const int at = text.indexOf(line, from);
            QVERIFY2(at >= from, qPrintable(line));
            from = at + line.size();
        }
    }

    void disablingSwitchesEveryButton()
    {
        MainWindow window;
        QPushButton *own = button(window, "zipBtn");
        window.disablePushButtons(own, true);
        for (QPushButton *each : window.findChildren<QPushButton *>())
            QVERIFY(!each->isEnabled());
        window.disablePushButtons(own, false);
        for (QPushButton *each : window.findChildren<QPushButton *>())
            QVERIFY(each->isEnabled());
    }

    // disconnect() tells whether a connection existed, so each button must
    // lead to its own slot and to no other.
    void eachButtonRunsExactlyItsSlot()
    {
        const QList<QPair<const char *, const char *>> wiring = {
            {"autoBtn", SLOT(GetSystemInfo())},           {"harwareBtn", SLOT(CheckHardware())},
            {"softwareBtn", SLOT(CheckSoftwareConfliction())}, {"networkBtn", SLOT(GetNetInfo())},
            {"zipBtn", SLOT(zipLogs())},                  {"everything", SLOT(gatherAndZipAtOnce())}};
        const QList<const char *> slotsOfWindow = {SLOT(GetSystemInfo()), SLOT(CheckHardware()),
                                                   SLOT(CheckSoftwareConfliction()), SLOT(GetNetInfo()),
                                                   SLOT(zipLogs()), SLOT(gatherAndZipAtOnce()),
                                                   SLOT(GetSeverResult()), SLOT(ExportResult())};
        for (const auto &pair : wiring) {
            MainWindow window;
            QPushButton *found = button(window, pair.first);
            for (const char *slot : slotsOfWindow) {
                const bool expected = qstrcmp(slot, pair.second) == 0;
                QCOMPARE(QObject::disconnect(found, SIGNAL(clicked()), &window, slot), expected);
            }
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
