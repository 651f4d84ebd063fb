#include "app/eula.h"

#include "ui_eula.h"

EULA::EULA(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::EULA>())
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Tessaly Render Support Tool License"));
    setFixedSize(637, 432);
}

EULA::~EULA() = default;

QString EULA::termsText() const { return ui->textBrowser->toPlainText(); }
