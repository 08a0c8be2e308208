// The reset-address dialog asked after each open: RAM or EEPROM start.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace VantrelSIM {

class TFormResetVek : public QDialog {
    Q_OBJECT

public:
    explicit TFormResetVek(QWidget* parent);
    ~TFormResetVek() override;

    QListWidget* ListBox1 = nullptr;
    QPushButton* BitBtnok = nullptr;

private:
    void FormCreate();
};

extern TFormResetVek* FormResetVek;

}  // namespace VantrelSIM
