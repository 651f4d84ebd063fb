#pragma once
// The terms-of-use dialog. It only shows the terms and reports the user's
// choice through exec(); the agreement gate records it.

#include <QDialog>

#include <memory>

namespace Ui {
class EULA;
}

class EULA : public QDialog
{
    Q_OBJECT

public:
    explicit EULA(QWidget *parent = nullptr);
    ~EULA() override;

    // The terms as plain text, for a reader without the dialog.
    QString termsText() const;

private:
    std::unique_ptr<Ui::EULA> ui;
};
