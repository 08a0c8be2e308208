// The settings dialog: the listing's font and the A/D input.
#include "simulator/ui/Main.h"

#include "gui/Dialogs.h"
#include "gui/StandardDialogs.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/UnitPisava.h"

#include <QPlainTextEdit>
#include <QSlider>
#include <QTextCharFormat>
#include <QTextCursor>

namespace VantrelSIM {

void TMainForm::Izbirapisave1Click() {
    FormPisava->ShowFontPage();
    gui::ExecModal(*FormPisava);
}

void TMainForm::Nastavitve1Click() {
    FormPisava->ShowAdPage();
    const int remembered = FormPisava->TrackBar1->value();
    if (gui::ExecModal(*FormPisava) != QDialog::Accepted) FormPisava->TrackBar1->setValue(remembered);
}

void TMainForm::FontDialog1Apply() {
    if (!listing_) return;
    listing_->ShowSelection();
    QTextCharFormat format;
    format.setFont(FontDialog1->SelectedFont());
    format.setForeground(FontDialog1->SelectedColour());
    QTextCursor cursor = listing_->RichEdit1->textCursor();
    cursor.mergeCharFormat(format);
    listing_->Modified = true;
    FormPisava->ShowFont(FontDialog1->SelectedFont());
}

}  // namespace VantrelSIM
