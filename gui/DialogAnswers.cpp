#include "gui/DialogAnswers.h"

#include <QApplication>
#include <QFileDialog>

#include <gtest/gtest.h>

namespace gui {

TDialogAnswers::TDialogAnswers() {
    DialogHooks.MessageBox = [this](QMessageBox::Icon icon, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons) {
        Boxes.push_back({icon, caption, text});
        if (OnBox) OnBox();
        return BoxAnswer;
    };
    DialogHooks.Modal = [this](QDialog& dialog) { return AnswerModal(dialog); };
}

TDialogAnswers::~TDialogAnswers() { DialogHooks = {}; }

QStringList TDialogAnswers::Messages() const {
    QStringList messages;
    for (const TShownBox& box : Boxes) messages << box.Caption + QStringLiteral("|") + box.Text;
    return messages;
}

int TDialogAnswers::AnswerModal(QDialog& dialog) {
    if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        ProposedFile = files->selectedFiles().value(0);
        if (ChosenFile.isEmpty()) return QDialog::Rejected;
        files->selectFile(ChosenFile);
        return QDialog::Accepted;
    }
    return OnModal ? OnModal(dialog) : int(QDialog::Rejected);
}

int RunQtTests(int argc, char** argv, const QString& applicationName) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(applicationName);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace gui
