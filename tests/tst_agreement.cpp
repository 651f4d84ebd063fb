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

namespace {
void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}
} // namespace

class AgreementTest : public QObject
{
    Q_OBJECT

private slots:
    // Only an explicit yes passes; every other value asks again, and a
    // refusal leaves what the user wrote as it was.
    void gate_data()
    {
        QTest::addColumn<QByteArray>("stored"); // null: no file
        QTest::addColumn<int>("dialogResult");
        QTest::addColumn<bool>("dialogShown");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QByteArray>("storedAfter");
        QTest::newRow("first start, accepted") << QByteArray() << 1 << true << true << QByteArray("1");
        QTest::newRow("first start, refused") << QByteArray() << 0 << true << false << QByteArray("0");
        QTest::newRow("not yet accepted, accepted") << QByteArray("0") << 1 << true << true << QByteArray("1");
        QTest::newRow("not yet accepted, refused") << QByteArray("0") << 0 << true << false << QByteArray("0");
        QTest::newRow("accepted before") << QByteArray("1") << 0 << false << true << QByteArray("1");
        for (const char *yes : {"true", "YES", " True ", "yes"})
            QTest::addRow("explicit yes \"%s\"", yes) << QByteArray(yes) << 0 << false << true << QByteArray(yes);
        for (const char *no : {"false", "no", "", "00", "0.0", "-1", "accepted", "y"})
            QTest::addRow("no consent \"%s\"", no) << QByteArray(no) << 0 << true << false << QByteArray(no);
        QTest::newRow("no consent, then accepted") << QByteArray("false") << 1 << true << true << QByteArray("1");
    }
    void gate()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, dialogResult);
        QFETCH(bool, dialogShown);
        QFETCH(bool, passed);
        QFETCH(QByteArray, storedAfter);

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("SupportToolConfig.ini"));
        if (!stored.isNull())
            writeBytes(path, "[AgreeLicense]\nagreed=" + stored + "\n");
        bool shown = false;
        QString notRecorded;
        QCOMPARE(agreement::passGate(
                     path,
                     [&] {
                         shown = true;
                         return dialogResult;
                     },
                     &notRecorded),
                 passed);
        QCOMPARE(shown, dialogShown);
        QCOMPARE(notRecorded, QString());
        // A file the gate makes has the system's line ends; one it finds keeps its own.
#ifdef Q_OS_WIN
        const QByteArray lineEnd = stored.isNull() ? "\r\n" : "\n";
#else
        const QByteArray lineEnd = "\n";
#endif
        QCOMPARE(testsupport::readFile(path), "[AgreeLicense]" + lineEnd + "agreed=" + storedAfter + lineEnd);
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
