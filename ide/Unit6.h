// Unit6: the EEPROM start-address dialog TFormEENasloviBranje, asked by the
// erase command. Created once at start-up and reused, so the edit keeps the
// last address confirmed with OK.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Vantrel {

class TFormEENasloviBranje : public QDialog {
    Q_OBJECT

public:
    explicit TFormEENasloviBranje(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* EditPrviNaslov = nullptr;
    QPushButton* Button1 = nullptr;  // OK

    // Shows the dialog modally: the address confirmed with OK, or nothing
    // when it was closed otherwise (the edit then reads "B600" again).
    std::optional<std::string> AskAddress();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // OK takes exactly four hex digits: a shorter operand would misalign the
    // erase loader.
    void UpdateOk();
};

}  // namespace Vantrel
