// For tests (and benchmarks) of the programs' windows: the dialog route
// answered in place of a user, and the main() of a Qt test program.
#pragma once

#include "gui/Dialogs.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace gui {

struct TShownBox {
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QString Caption;
    QString Text;
};

// Answers every message box and modal dialog from construction to
// destruction, recording the boxes.
class TDialogAnswers {
public:
    TDialogAnswers();
    virtual ~TDialogAnswers();
    TDialogAnswers(const TDialogAnswers&) = delete;
    TDialogAnswers& operator=(const TDialogAnswers&) = delete;

    // "caption|text" of every box, in order.
    QStringList Messages() const;

    // Every box shown, in order; each is answered with BoxAnswer after
    // OnBox (if any) has run, as if the user took that long.
    std::vector<TShownBox> Boxes;
    QMessageBox::StandardButton BoxAnswer = QMessageBox::Ok;
    std::function<void()> OnBox;

    // A file dialog records the file it proposes and accepts ChosenFile;
    // with no file chosen it is cancelled.
    QString ChosenFile;
    QString ProposedFile;
    // Every other modal dialog; without it the dialog is cancelled.
    std::function<int(QDialog&)> OnModal;

protected:
    // The answer to a modal dialog; a fixture may take some dialogs first.
    virtual int AnswerModal(QDialog& dialog);
};

// main() of a Qt test program: the offscreen platform unless another is
// set, the application named as the program under test, every test run.
int RunQtTests(int argc, char** argv, const QString& applicationName);

}  // namespace gui
