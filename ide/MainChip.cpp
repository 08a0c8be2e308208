// The target chip.
#include "ide/Main.h"

#include "gui/Dialogs.h"
#include "ide/ChipTable.h"
#include "ide/Globals.h"
#include "ide/Unit3.h"
#include "ide/UnitPisava.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace Vantrel {

void TMainForm::Nastavitve2Click() {
    TForNastavProg& dialog = *ForNastavProg;
    const bool adding = FormPisava->CheckBTipMK->isChecked();
    dialog.Button1->setEnabled(adding);
    dialog.EditKapacRam->setEnabled(adding);
    dialog.EditKapacEE->setEnabled(adding);
    if (MemoryKind == "RAM")
        dialog.RadioBRAM->setChecked(true);
    else
        dialog.RadioBEEPROM->setChecked(true);
    int selected = 0;
    for (int i = 0; i < dialog.ComboBox1->count(); ++i)
        if (dialog.ComboBox1->itemText(i).toStdString() == ChipName) selected = i;
    dialog.SelectQuietly(selected);
    // The boxes show the sizes in force, not what a cancelled choice left.
    dialog.ShowSizes(RamSize, EepromSize);

    if (gui::ExecModal(dialog) != QDialog::Accepted) return;
    // A chip of no known size would only fail at the next download.
    const int index = dialog.ComboBox1->findText(dialog.ComboBox1->currentText(), Qt::MatchFixedString);
    if (index < 0) {
        gui::ShowBox(this, TBoxKind::Information,
                     QStringLiteral("Tipa mikrokrmilnika \"%1\" ni v tabeli: najprej ga je treba dodati z gumbom "
                                    "\"Dodaj\"!")
                         .arg(dialog.ComboBox1->currentText()));
        return;
    }
    const std::string ramText = dialog.EditKapacRam->text().toStdString();
    const std::string eepromText = dialog.EditKapacEE->text().toStdString();
    const std::optional<int> ram = SizeFromText(ramText);
    const std::optional<int> eeprom = SizeFromText(eepromText);
    if (!ram || !eeprom) {
        gui::ShowApplicationError(this, QString::fromStdString(SizeErrorText(!ram ? ramText : eepromText)));
        return;
    }
    ChipName = dialog.ComboBox1->itemText(index).toStdString();
    EepromSize = *eeprom;
    RamSize = *ram;
    MemoryKind = dialog.RadioBRAM->isChecked() ? "RAM" : "EEPROM";
}

}  // namespace Vantrel
