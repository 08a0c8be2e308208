// The programmer's commands and the port's events. The work is in
// Programmer.cpp; these hand it the port, the globals and the window's
// boxes, dialog and gauge.
#include "ide/Globals.h"
#include "ide/Main.h"
#include "ide/ProgrammerUi.h"
#include "ide/Unit6.h"

namespace Vantrel {

namespace {

TProgrammerContext ContextOf(TMainForm& form, TProgrammerUi& ui) {
    TProgrammerContext context{form.ComPort1, ui, form.Shell, form.Clock, form.Downloader, PortOpen, ProgrammerFound};
    context.RamSize = RamSize;
    context.EepromSize = EepromSize;
    context.ObjectName = ObjectName;
    context.MemoryKind = MemoryKind;
    return context;
}

}  // namespace

void TMainForm::ComPort1AfterOpen(TObject*) { ComPort1.SetDTR(true); }

void TMainForm::ComPort1DSRChange(TObject*, bool onOff) {
    Vantrel::ComPort1DSRChange(ProgrammerFound, onOff);
    StatusBarDrawPanel();
}

void TMainForm::ToolButton16Click() {
    TProgrammerWidgets ui(this, FormEENasloviBranje, Gauge1);
    TProgrammerContext context = ContextOf(*this, ui);
    ProgramBoard(context);
}

void TMainForm::EEPROMbrii1Click() {
    TProgrammerWidgets ui(this, FormEENasloviBranje, Gauge1);
    TProgrammerContext context = ContextOf(*this, ui);
    EraseEeprom(context);
}

}  // namespace Vantrel
