// Every button runs its own action: a click on each of the six leaves the
// reports of that action and no other. Fixture programs answer nothing and
// the endpoints are a closed local port, so each action is quick.

#include "archivesupport.h"
#include "environmentvalue.h"
#include "networksettings.h"
#include "reportkinds.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QPushButton>
#include <QtTest>

using namespace testsupport;

namespace {

const QString kHardware = QStringLiteral("SupportLog_HardWare_");
const QString kSoftware = QStringLiteral("SupportLog_software_confliction_");
// The reports of the network action; the silent cmd leaves no address test
// result, which the speed-test report says.
const QString kNetwork =
    QStringLiteral("SupportLog_network_config_, SupportLog_network_server_, SupportLog_network_speedTest_");
const QString kZip = QStringLiteral("SupportLog_zip_");
// The three inspection actions' reports, in the sorted order reportKinds gives.
const QString kInspections = kHardware + QStringLiteral(", ") + kNetwork + QStringLiteral(", ") + kSoftware;
// The combined actions add the findings file, which sorts last.
const QString kFindings = QStringLiteral(", findings.txt");

} // namespace

class EndToEndButtonsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initWindowTests();
    }

    void clickRunsItsAction_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("reports");
        QTest::addColumn<bool>("archive");
        QTest::newRow("Hardware Analysis") << "harwareBtn" << kHardware << false;
        QTest::newRow("Software Confliction Analysis") << "softwareBtn" << kSoftware << false;
        QTest::newRow("Network Status Diagnose") << "networkBtn" << kNetwork << false;
        QTest::newRow("Automatic PC Conditions Check") << "autoBtn" << kInspections + kFindings << false;
        QTest::newRow("Collect logs and Zip") << "zipBtn" << kZip << true;
        QTest::newRow("Check All and Zip At Once")
            << "everything" << kInspections + QStringLiteral(", ") + kZip + kFindings << true;
    }

    void clickRunsItsAction()
    {
        QFETCH(QString, button);
        QFETCH(QString, reports);
        QFETCH(bool, archive);

        const InstallFolder folder;
        const UserDataFolder user;
        const NoDesktop noDesktop;
        const FixturePath fixtures;
        fixtures.addSilentShells();
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         addressGroup({QStringLiteral("127.0.0.1")}) + closedServerHostsGroup(1));

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *pressed = window.findChild<QPushButton *>(button);
        QVERIFY(pressed);
        QTest::mouseClick(pressed, Qt::LeftButton);

        QVERIFY(idle(window));
        QCOMPARE(reportKinds(), reports);
        QCOMPARE(QFileInfo::exists(QStringLiteral("zziplog.zip")), archive);
    }
};

QTEST_MAIN(EndToEndButtonsTest)
#include "tst_endtoend_buttons.moc"
