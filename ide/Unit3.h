// Unit Unit3: the target-chip dialog "Izbira ciljnega mikrokrmilnika": the
// list of chip types (a list position is a slot of the chip table), the
// size boxes, RAM or EEPROM, adding and deleting types. Created once at
// start-up after the chip table is loaded, and reused.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Vantrel {

class TForNastavProg : public QDialog {
    Q_OBJECT

public:
    explicit TForNastavProg(QWidget* parent);

    static constexpr unsigned HelpContext = 2;  // F1, and the help button's data

    // A help command (WinHelp's command and data).
    std::function<void(unsigned, std::uintptr_t)> ShowHelp;

    void FormCreate();
    void ComboBox1Change();
    void Button1Click();
    void ComboBox1DblClick();
    void EditKapacRamChange();
    void EditKapacEEChange();
    void BitBtn3Click();

    // Selects an entry without running ComboBox1Change, as choosing in code
    // never did.
    void SelectQuietly(int index);
    // The sizes into the boxes (their change handlers run).
    void ShowSizes(int ram, int eeprom);

    QGroupBox* GroupBMikro = nullptr;  // "Mikrokontroler"
    QComboBox* ComboBox1 = nullptr;
    QPushButton* Button1 = nullptr;   // "Dodaj "
    QGroupBox* GroupBProg = nullptr;  // "Programiranje"
    QRadioButton* RadioBRAM = nullptr;
    QRadioButton* RadioBEEPROM = nullptr;
    QLineEdit* EditKapacRam = nullptr;
    QLineEdit* EditKapacEE = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "PREKLIC"
    QPushButton* BitBtn3 = nullptr;  // "&POMOČ"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace Vantrel
