// The help pages and the about box.
#include "ide/Main.h"

#include "gui/Dialogs.h"
#include "ide/About.h"
#include "ide/Childwin.h"

namespace Vantrel {

void TMainForm::Vsebina1Click() { ShowHelp(help::HELP_CONTENTS, 1); }

void TMainForm::ContextHelp() {
    if (ActiveEditor())
        ShowHelp(help::HELP_CONTEXT, TMDIChild::HelpContext);
    else
        ShowHelp(help::HELP_CONTENTS, 1);
}

void TMainForm::ShowHelp(unsigned command, std::uintptr_t data) {
    std::string error;
    if (!Help.WinHelp(HelpFile, command, data, &error))
        gui::ShowBox(this, TBoxKind::Information, QString::fromStdString(error));
}

void TMainForm::HelpAbout1Execute() { gui::ExecModal(*AboutBox); }

}  // namespace Vantrel
