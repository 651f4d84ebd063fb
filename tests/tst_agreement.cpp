// The terms-of-use gate and its dialog.

#include "app/agreementgate.h"
#include "app/eula.h"
#include "testsupport.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

class AgreementTest : public QObject
{
    Q_OBJECT

private slots:
    void gate_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no entry
        QTest::addColumn<int>("dialogResult");
        QTest::addColumn<bool>("dialogShown");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("first start, accepted") << QString() << 1 << true << true << "1";
        QTest::newRow("first start, refused") << QString() << 0 << true << false << "0";
        QTest::newRow("not yet accepted, accepted") << "0" << 1 << true << true << "1";
        QTest::newRow("not yet accepted, refused") << "0" << 0 << true << false << "0";
        QTest::newRow("accepted before") << "1" << 0 << false << true << "1";
        QTest::newRow("any other text counts as accepted") << "yes" << 0 << false << true << "yes";
    }
    void gate()
    {
        QFETCH(QString, stored);
        QFETCH(int, dialogResult);
        QFETCH(bool, dialogShown);
        QFETCH(bool, passed);
        QFETCH(QString, storedAfter);

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("SupportToolConfig.ini"));
        if (!stored.isNull()) {
            QSettings seed(path, QSettings::IniFormat);
            seed.setValue(QStringLiteral("AgreeLicense/agreed"), stored);
        }
        bool shown = false;
        {
            QSettings settings(path, QSettings::IniFormat);
            const bool result = agreement::passGate(settings, [&] {
                shown = true;
                return dialogResult;
            });
            QCOMPARE(result, passed);
        }
        QCOMPARE(shown, dialogShown);
        QSettings reread(path, QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("AgreeLicense/agreed")).toString(), storedAfter);
    }

    void dialogLooks()
    {
        EULA dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Tessaly Render Support Tool License"));
        QCOMPARE(dialog.size(), QSize(637, 432));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        auto *document = dialog.findChild<QTextBrowser *>(QStringLiteral("textBrowser"));
        QVERIFY(document);
        QVERIFY(document->isReadOnly());
        QVERIFY(document->toPlainText().contains(QStringLiteral("Nothing is sent anywhere by the Tool")));
        auto *label = dialog.findChild<QLabel *>(QStringLiteral("label_4"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("If you accept the terms of the agreement, click the OK Button bellow. "
                                               "You must accept the \nagreement to continue."));
    }

    void dialogAnswers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "ok" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "cancel" << int(QDialog::Rejected);
        QTest::newRow("Escape") << "escape" << int(QDialog::Rejected);
        QTest::newRow("close button") << "close" << int(QDialog::Rejected);
    }
    void dialogAnswers()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        EULA dialog;
        QTimer::singleShot(100, &dialog, [&] {
            auto *box = dialog.findChild<QDialogButtonBox *>(QStringLiteral("AgreementBtn"));
            if (how == QLatin1String("ok"))
                box->button(QDialogButtonBox::Ok)->click();
            else if (how == QLatin1String("cancel"))
                box->button(QDialogButtonBox::Cancel)->click();
            else if (how == QLatin1String("escape"))
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
        });
        QCOMPARE(dialog.exec(), result);
    }
};

QTEST_MAIN(AgreementTest)
#include "tst_agreement.moc"
