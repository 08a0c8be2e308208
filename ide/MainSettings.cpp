// The settings dialog and Vantrel.ini.
#include "ide/Main.h"

#include "gui/Dialogs.h"
#include "ide/Globals.h"
#include "ide/Settings.h"
#include "ide/UnitPisava.h"
#include "platform/ini/IniFile.h"

#include <QCheckBox>
#include <QComboBox>

namespace Vantrel {

void TMainForm::Izbirapisave1Click() {
    TFormPisava& dialog = *FormPisava;
    // The list is filled anew at each opening, so no name repeats.
    std::vector<std::string> ports;
    ListComPorts(ports, ComPort1.Api());
    dialog.ComboBox2->clear();
    for (const std::string& port : ports) dialog.ComboBox2->addItem(QString::fromStdString(port));
    dialog.ComboBox2->setCurrentIndex(
        dialog.ComboBox2->findText(QString::fromStdString(PortNameForNumber(SerialPortNumber))));
    if (gui::ExecModal(dialog) != QDialog::Accepted) return;
    const int number = PortNumberFromName(dialog.ComboBox2->currentText().toStdString());
    if (number != 0) {
        ComPort1.BeginUpdate();
        ComPort1.SetPort(PortNameForNumber(number));
        ComPort1.EndUpdate();
        SerialPortNumber = number;
    }
    eraseAllowed_ = dialog.CheckBBrisiEE->isChecked();
    UpdateActions();
}

void TMainForm::Nastavvrat1Click() { Izbirapisave1Click(); }

void TMainForm::LoadSettings() {
    IniFile ini(AppDir + "Vantrel.ini");
    ComPort1.SetPort(LoadSettingsFromIni(ini));
}

void TMainForm::SaveSettings() {
    IniFile ini(AppDir + "Vantrel.ini");
    SaveSettingsToIni(ini);
}

}  // namespace Vantrel
