// The settings dialog and Vantrel.ini.
#include "ide/Main.h"

#include "common/ComPortName.h"
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
        dialog.ComboBox2->findText(QString::fromStdString(ComPortName(SerialPortNumber))));
    if (gui::ExecModal(dialog) != QDialog::Accepted) return;
    eraseAllowed_ = dialog.CheckBBrisiEE->isChecked();
    UpdateActions();
    const int number = ComPortNumber(dialog.ComboBox2->currentText().toStdString());
    if (number == 0) return;
    // The chosen port is the one in use even when it does not open now: the
    // activation and the programmer commands open it once it is there.
    SerialPortNumber = number;
    ComPort1.BeginUpdate();
    try {
        ComPort1.SetPort(ComPortName(number));
    } catch (const EComPort&) {
        ComPort1.EndUpdate();
        PortOpen = 0;
        throw;
    }
    ComPort1.EndUpdate();
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
