// The guard and the dialog route: what escapes a handler becomes one error
// box under the application's name, and tests answer every dialog.
#include "gui/Guard.h"
#include "gui/DialogAnswers.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <stdexcept>

namespace gui {
namespace {

class Guard : public ::testing::Test, public TDialogAnswers {
protected:
    QWidget Window;
};

TEST_F(Guard, WhatEscapesTheBodyIsShownOnceAndTheCommandEnds) {
    const struct {
        const char* name;
        std::function<void()> body;
        QStringList shown;
    } cases[] = {
        {"no exception", [] {}, {}},
        {"std::exception", [] { throw std::runtime_error("Datoteka manjka"); }, {"gui_test|Datoteka manjka"}},
        {"UTF-8 message", [] { throw std::runtime_error("Napačen vnos"); }, {"gui_test|Napačen vnos"}},
        {"anything else", [] { throw 42; }, {"gui_test|Neznana napaka"}},
    };
    for (const auto& c : cases) {
        Boxes.clear();
        bool after = false;
        Guarded(&Window, [&] {
            c.body();
            after = true;
        });
        EXPECT_EQ(Messages(), c.shown) << c.name;
        EXPECT_EQ(after, c.shown.isEmpty()) << c.name;
        if (!Boxes.empty()) {
            EXPECT_EQ(Boxes[0].Icon, QMessageBox::Critical) << c.name;
        }
    }
}

TEST_F(Guard, TheErrorDisplayCarriesTheApplicationsDisplayName) {
    ShowApplicationError(&Window, QStringLiteral("a"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Preskusni program"));
    ShowApplicationError(&Window, QStringLiteral("b"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("gui_test"));
    EXPECT_EQ(Messages(), (QStringList{"gui_test|a", "Preskusni program|b"}));
}

class TCounter : public QWidget {
public:
    int Count = 0;
    void Increment() { ++Count; }
    void Fail() { throw std::runtime_error("ne gre"); }
};

TEST_F(Guard, ConnectedHandlersTakeTheSignalsArgumentsOrNone) {
    TCounter receiver;
    QSpinBox spin;
    int seen = -1;
    ConnectGuarded(&spin, &QSpinBox::valueChanged, &receiver, [&](int value) { seen = value; });
    ConnectGuarded(&spin, &QSpinBox::valueChanged, &receiver, &TCounter::Increment);
    ConnectGuarded(&spin, &QSpinBox::valueChanged, &receiver, [&] { ++receiver.Count; });
    spin.setValue(7);
    EXPECT_EQ(seen, 7);
    EXPECT_EQ(receiver.Count, 2);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(Guard, AThrowingHandlerLeavesTheSenderWorking) {
    TCounter receiver;
    QAction action;
    ConnectGuarded(&action, &QAction::triggered, &receiver, &TCounter::Fail);
    ConnectGuarded(&action, &QAction::triggered, &receiver, &TCounter::Increment);
    action.trigger();
    action.trigger();
    EXPECT_EQ(Messages(), (QStringList{"gui_test|ne gre", "gui_test|ne gre"}));
    EXPECT_EQ(receiver.Count, 2);  // the next handler still runs
}

TEST(DialogRoute, HooksAnswerInPlaceOfTheUser) {
    QMessageBox::Icon icon{};
    QMessageBox::StandardButtons buttons{};
    DialogHooks.MessageBox = [&](QMessageBox::Icon i, const QString&, const QString&, QMessageBox::StandardButtons b) {
        icon = i;
        buttons = b;
        return QMessageBox::No;
    };
    DialogHooks.Modal = [](QDialog& dialog) {
        dialog.setWindowTitle(QStringLiteral("odgovorjeno"));
        return 5;
    };
    EXPECT_EQ(ShowMessageBox(nullptr, QMessageBox::Question, WarningCaption, QStringLiteral("?"),
                             QMessageBox::Yes | QMessageBox::No),
              QMessageBox::No);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
    QDialog dialog;
    EXPECT_EQ(ExecModal(dialog), 5);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("odgovorjeno"));
    DialogHooks = {};
}

TEST(DialogRoute, EachKindOfBoxHasItsCaptionAndIcon) {
    TDialogAnswers answers;
    ShowBox(nullptr, TBoxKind::Error, QStringLiteral("e"));
    ShowBox(nullptr, TBoxKind::Warning, QStringLiteral("w"));
    answers.BoxAnswer = QMessageBox::Cancel;
    EXPECT_EQ(ShowBox(nullptr, TBoxKind::Information, QStringLiteral("i"), QMessageBox::Ok | QMessageBox::Cancel),
              QMessageBox::Cancel);
    EXPECT_EQ(answers.Messages(), (QStringList{"NAPAKA!|e", "OPOZORILO!|w", "Obvestilo|i"}));
    ASSERT_EQ(answers.Boxes.size(), 3u);
    EXPECT_EQ(answers.Boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(answers.Boxes[1].Icon, QMessageBox::Warning);
    EXPECT_EQ(answers.Boxes[2].Icon, QMessageBox::Information);
}

TEST(DialogAnswers, AnswerFileDialogsAndOtherDialogsUntilDestroyed) {
    {
        TDialogAnswers answers;
        QFileDialog files(nullptr, QString(), QDir::tempPath());
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.selectFile(QStringLiteral("Temp$$.LST"));
        EXPECT_EQ(ExecModal(files), QDialog::Rejected);
        EXPECT_EQ(answers.ProposedFile, QDir::tempPath() + QStringLiteral("/Temp$$.LST"));

        answers.ChosenFile = QDir::tempPath() + QStringLiteral("/PROG.LST");
        EXPECT_EQ(ExecModal(files), QDialog::Accepted);
        EXPECT_EQ(files.selectedFiles().value(0), answers.ChosenFile);

        QDialog other;
        EXPECT_EQ(ExecModal(other), QDialog::Rejected);
        answers.OnModal = [&](QDialog& dialog) { return &dialog == &other ? 3 : 0; };
        EXPECT_EQ(ExecModal(other), 3);

        int boxesDuringOnBox = -1;
        answers.OnBox = [&] { boxesDuringOnBox = static_cast<int>(answers.Boxes.size()); };
        answers.BoxAnswer = QMessageBox::Yes;
        EXPECT_EQ(ShowMessageBox(nullptr, QMessageBox::Information, InformationCaption,
                                 QStringLiteral("Ne najdem besede \"x\"")),
                  QMessageBox::Yes);
        EXPECT_EQ(boxesDuringOnBox, 1);
        EXPECT_EQ(answers.Messages(), QStringList{"Obvestilo|Ne najdem besede \"x\""});
    }
    EXPECT_FALSE(DialogHooks.MessageBox);
    EXPECT_FALSE(DialogHooks.Modal);
}

}  // namespace
}  // namespace gui
