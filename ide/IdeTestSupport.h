// Shared by Vantrel's widget tests: a temporary working folder that becomes
// the current directory, the serial fake, and dialogs answered by script.
#pragma once

#include "gui/DialogAnswers.h"
#include "gui/MdiFrame.h"
#include "ide/Globals.h"
#include "ide/Main.h"
#include "platform/clock/FakeClock.h"
#include "platform/comm/FakeCommApi.h"
#include "platform/help/FakeHelpApi.h"
#include "platform/print/FakePrintApi.h"
#include "platform/shell/FakeShellApi.h"
#include "tests/support/QtTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include <ostream>

// Readable failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace Vantrel {

// The main window's actions and menus are private: tests reach them by
// their component names.
inline QAction* Action(const TMainForm& form, const char* name) { return gui::Component<QAction>(form, name); }
inline QMenu* Menu(const TMainForm& form, const char* name) { return gui::Component<QMenu>(form, name); }

// Dialogs answered in turn: each queued modal answer takes the next dialog
// (file dialogs included), each queued button the next box; then the
// fixture's defaults (OK, file dialogs by ChosenFile, others cancelled).
class TQueuedAnswers : public gui::TDialogAnswers {
public:
    TQueuedAnswers() {
        OnBox = [this] {
            BoxAnswer = QMessageBox::Ok;
            if (Answers.empty()) return;
            BoxAnswer = Answers.front();
            Answers.pop_front();
        };
    }
    std::deque<QMessageBox::StandardButton> Answers;
    std::deque<std::function<int(QDialog&)>> Modals;

protected:
    int AnswerModal(QDialog& dialog) override {
        if (Modals.empty()) return TDialogAnswers::AnswerModal(dialog);
        auto answer = std::move(Modals.front());
        Modals.pop_front();
        return answer(dialog);
    }
};

using testsupport::ServePostedEvents;

// The scratch folder of a test, with its path as Qt's calls take it.
struct TIdeFolder : testsupport::TTempFolder {
    QString path() const { return QString::fromStdString(Path().string()); }
};

class IdeTest : public ::testing::Test {
protected:
    IdeTest() {
        Previous = QDir::currentPath();
        QDir::setCurrent(Dir.path());
        ResetGlobals();
        Api.AddPort("COM1");
        Api.AddPort("COM2");
    }
    ~IdeTest() override {
        Form.reset();
        QDir::setCurrent(Previous);
    }

    // The fakes unless a test put real services in Services.
    TMainForm& Start() {
        Form.reset(CreateVantrelForms(Services));
        return *Form;
    }
    QString Path(const QString& name) const { return QString::fromStdString(Dir.File(name.toStdString())); }
    void WriteFile(const QString& name, const QByteArray& bytes) {
        const std::filesystem::path path = Dir / name.toStdString();
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes.toStdString()));
    }
    QByteArray ReadFile(const QString& name) const {
        const std::filesystem::path path = Dir / name.toStdString();
        return std::filesystem::exists(path) ? QByteArray::fromStdString(testsupport::FileBytes(path))
                                             : QByteArray("<missing>");
    }
    // The next file dialog picks this path (absolute or in the folder).
    void AnswerFileDialog(const QString& path) {
        Modals.push_back([path](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            files.selectFile(path);
            return int(QDialog::Accepted);
        });
    }

    TIdeFolder Dir;
    QString Previous;
    TQueuedAnswers Dialogs;
    std::vector<gui::TShownBox>& Boxes = Dialogs.Boxes;
    std::deque<QMessageBox::StandardButton>& Answers = Dialogs.Answers;
    std::deque<std::function<int(QDialog&)>>& Modals = Dialogs.Modals;
    comm::FakeCommApi Api;
    timing::FakeClock Clock;
    shell::FakeShellApi Shell{Clock};
    help::FakeHelpApi Help;
    printing::FakePrintApi Printer;
    TServices Services{&Api, &Shell, &Help, &Printer, &Clock};
    std::unique_ptr<TMainForm> Form;
};

}  // namespace Vantrel
