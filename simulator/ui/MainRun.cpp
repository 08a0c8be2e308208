// A step, the continuous run on Timer1, breakpoints, the interrupts of
// the tool bar, and the tool windows' refresh after each step.
#include "simulator/ui/Main.h"

#include "gui/Dialogs.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/FramePacer.h"
#include "simulator/ui/ToolWindow.h"

#include <QPlainTextEdit>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace VantrelSIM {

int64_t RunTickSteps(int64_t elapsedMs, int64_t& done, int64_t maxSteps) {
    const int64_t steps = std::clamp<int64_t>(elapsedMs - done, 1, maxSteps);
    done = std::max(done + steps, elapsedMs - maxSteps);
    return steps;
}

int TMainForm::RunTimerInterval() const {
    // A tick with the run switch up does nothing: the timer stays enabled
    // but rests instead of waking the program a thousand times a second.
    return Running() ? 1 : IdleTimerIntervalMs;
}

TMDIChild* TMainForm::ListingWindow() const {
    // Whoever looks at the listing sees the selection of the last step.
    if (listing_) listing_->ShowSelection();
    return listing_;
}

bool TMainForm::CaretOnListingLine() const {
    return listing_ && CurrentLine >= 1 && CurrentLine <= listing_->LineCount();
}

bool TMainForm::Running() const { return ToolButton2->isChecked(); }

void TMainForm::StopRun() { ToolButton2->setChecked(false); }

void TMainForm::ToolButton15Click() {
    // A step's error box must not let further ticks step underneath it.
    if (stepInProgress_) return;
    stepInProgress_ = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{stepInProgress_};

    if (WaitState == 0 && StopState == 0) HighlightPcLine();
    const TStepResult result = SimulationStep();
    if (result.Illegal) {
        StopRun();
        gui::ShowBox(this, TBoxKind::Error, QString::fromStdString(IllegalOpcodeMessage(result)));
    }
    RefreshToolWindows();
    emit StepDone();
}

void TMainForm::Timer1Timer() {
    if (!listing_ || !Running() || stepBlockers_ > 0 || stepInProgress_) {
        EndRunFrames();
        return;
    }
    runFrames_->Hold(true);

    if (!runClock_.isValid()) {
        runClock_.start();
        runStepsDone_ = 0;
    }
    const int64_t steps = RunTickSteps(runClock_.elapsed() + 1, runStepsDone_, MaxStepsPerTick);
    for (int64_t i = 0; i < steps && listing_ && Running() && stepBlockers_ == 0; ++i) {
        if (CaretOnListingLine() && IsBreakpointKey(MemoBreake, listing_->LineKey(CurrentLine))) {
            StopRun();
            return;
        }
        ToolButton15Click();
    }
    if (listing_ && runFrames_->FrameDue()) {
        listing_->ShowSelection();
        runFrames_->PaintFrame();
    }
}

void TMainForm::EndRunFrames() {
    if (listing_) listing_->ShowSelection();
    runFrames_->Hold(false);
}

void TMainForm::ToolButton2Click() {
    if (!Running()) EndRunFrames();
    if (Timer1->interval() != RunTimerInterval()) Timer1->setInterval(RunTimerInterval());
    runClock_.invalidate();
    const QIcon image = style()->standardIcon(Running() ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay);
    ToolButton2->setIcon(image);
    StartStop1->setIcon(image);
}

void TMainForm::StartStop1Click() { ToolButton2->toggle(); }

void TMainForm::HighlightPcLine() {
    if (!listing_) return;
    // The focus stays where the last step put it unless something moved it.
    if (listing_->RichEdit1->window()->focusWidget() != listing_->RichEdit1) listing_->RichEdit1->setFocus();
    // A run shows the selection once a frame.
    const bool running = runFrames_->Holding();
    for (int line : listing_->LinesAt(CpuRegs.PC))
        listing_->ColourLine(line, IsBreakpointKey(MemoBreake, listing_->LineKey(line)) ? Qt::red : Qt::black, running);
}

void TMainForm::Vstaviustavitvenotoko1Click() {
    UpdateCaretPosition();
    if (!CaretOnListingLine()) return;
    listing_->RichEdit1->setFocus();
    const QString key = listing_->LineKey(CurrentLine);
    if (!IsBreakpointKey(MemoBreake, key)) MemoBreake << key;
    listing_->ColourLine(CurrentLine, Qt::red);
}

void TMainForm::Odstrani1Click() {
    UpdateCaretPosition();
    if (!CaretOnListingLine()) return;
    listing_->RichEdit1->setFocus();
    const QString key = listing_->LineKey(CurrentLine);
    for (qsizetype i = 0; i < MemoBreake.size(); ++i) {
        if (MemoBreake[i].compare(key, Qt::CaseInsensitive) == 0) {
            MemoBreake.removeAt(i);
            break;
        }
    }
    listing_->ColourLine(CurrentLine, Qt::black);
}

void TMainForm::Odkurzorja1Click() {
    if (!CaretOnListingLine()) return;
    listing_->RichEdit1->setFocus();
    CpuRegs.PC = CursorAddress(listing_->LineText(CurrentLine));
}

void TMainForm::StimulatorTipkeClick(QAction* sender) {
    if (sender == SpeedBIRQ) IrqPending = 1;
    if (sender == SpeedBNMI) XirqPending = 1;
}

void TMainForm::Stimulacije1Click() { UpdateActions(); }

void TMainForm::RefreshToolWindows() {
    TWindowsRefresh refresh;
    for (const TToolWindowKind& kind : ToolWindowTable)
        if (TToolWindow* window = kind.Form.Current()) window->RefreshView();
}

}  // namespace VantrelSIM
