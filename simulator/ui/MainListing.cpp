// The listing window's caret and find.
#include "simulator/ui/Main.h"

#include "gui/MdiFrame.h"
#include "gui/StandardDialogs.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/FramePacer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>

namespace VantrelSIM {

void TMainForm::UpdateCaretPosition() {
    if (!listing_) return;
    const int start = listing_->SelectionStart();
    const QTextBlock block = listing_->RichEdit1->document()->findBlock(start);
    const int line = block.blockNumber() + 1;
    const int column = start - block.position() + 1;
    CurrentLine = line;
    // Only this function writes the panel: a loop's steps often find it right.
    if (line == caretShown_[0] && column == caretShown_[1]) return;
    caretShown_[0] = line;
    caretShown_[1] = column;
    char text[40];
    const int length = std::snprintf(text, sizeof text, "Vrs: %-3d   Kol: %-3d", line, column);
    StatusPanels[1]->setText(QString::fromLatin1(text, std::clamp<int>(length, 0, sizeof text - 1)));
}

void TMainForm::ListingClosed() {
    listing_ = nullptr;
    // The report belongs to the listing: the next one starts from nothing.
    CurrentLine = 0;
    caretShown_[0] = caretShown_[1] = 0;
    StatusPanels[1]->clear();
    runFrames_->Hold(false);
    updateMenuitems();
}

void TMainForm::Find1Execute() {
    if (listing_) gui::BringToFront(FindDialog1);
}

void TMainForm::FindDialog1Find() {
    if (!listing_) return;
    // From the selection the last step left, not a stale one.
    listing_->ShowSelection();
    gui::FindNext(this, *listing_->RichEdit1, FindDialog1->FindText());
}

}  // namespace VantrelSIM
