#include "platform/help/QtHelpApi.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <functional>

#include "tests/support/TestSupport.h"

using namespace help;
namespace fs = std::filesystem;

namespace {

void writePage(const fs::path& path, const std::string& title, const std::string& body) {
    testsupport::WriteFileBytes(path, "<!DOCTYPE html>\n<html lang=\"sl\"><head><meta charset=\"utf-8\"><title>" +
                                          title + "</title></head>\n<body><h1>" + title + "</h1>\n" + body +
                                          "\n</body></html>\n");
}

// A small help folder of the kind the editor ships.
class QtHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path pomoc = root / "Pomoc";
        fs::create_directories(pomoc);
        writePage(pomoc / "index.html", "Vsebina",
                  "<ul><li><a href=\"1.html\">Urejevalnik</a></li>"
                  "<li><a href=\"3.html\">Nastavitve prevajalnika</a></li></ul>");
        writePage(pomoc / "1.html", "Urejevalnik", "<p>Okno urejevalnika.</p>");
        writePage(pomoc / "3.html", "Nastavitve prevajalnika",
                  "<p>Izbire poročila: tabela simbolov in ukazne periode.</p>"
                  "<p><a href=\"index.html\">Vsebina</a></p>");
        helpFile = (pomoc / "VantrelHELP.hlp").string();
    }

    testsupport::TTempFolder temp{"qthelp"};
    const fs::path root = temp.Path();
    std::string helpFile;
};

}  // namespace

TEST_F(QtHelpTest, OpensAtTheContextPageAndQuitCloses) {
    QtHelpApi api;
    std::string error;
    ASSERT_TRUE(api.WinHelp(helpFile, HELP_CONTEXT, 3, &error)) << error;
    QTextBrowser* window = api.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Pomoč"));
    EXPECT_TRUE(window->source().toLocalFile().endsWith("/Pomoc/3.html"));
    EXPECT_TRUE(window->toPlainText().contains(QString::fromUtf8("Izbire poročila")));
    window->grab().save("/tmp/seams-help-3.png");

    // The contents through the same window; its links lead on.
    ASSERT_TRUE(api.WinHelp(helpFile, HELP_CONTENTS, 1, &error)) << error;
    EXPECT_EQ(api.Window(), window);
    EXPECT_TRUE(window->source().toLocalFile().endsWith("/Pomoc/index.html"));
    window->setSource(QUrl("1.html"));
    EXPECT_TRUE(window->toPlainText().contains("Okno urejevalnika."));

    EXPECT_TRUE(api.WinHelp(helpFile, HELP_QUIT, 0, &error));
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(api.WinHelp(helpFile, HELP_FINDER, 0, &error)) << error;
    EXPECT_TRUE(window->isVisible());
}

TEST_F(QtHelpTest, MissingPagesFailWithTheFileNamed) {
    QtHelpApi api;
    std::string error;
    EXPECT_FALSE(api.WinHelp(helpFile, HELP_CONTEXT, 2, &error));
    EXPECT_EQ(error, "Ne najdem datoteke pomoči \"" + (root / "Pomoc" / "2.html").string() + "\"!");
    EXPECT_EQ(api.Window(), nullptr) << "no empty window";

    const std::string elsewhere = (root / "none" / "VantrelHELP.hlp").string();
    EXPECT_FALSE(api.WinHelp(elsewhere, HELP_CONTENTS, 1, &error));
    EXPECT_EQ(error, "Ne najdem datoteke pomoči \"" + (root / "none" / "index.html").string() + "\"!");
    EXPECT_TRUE(api.WinHelp(elsewhere, HELP_QUIT, 0, &error)) << "nothing to close is no error";
}

// WinHelp is a program of its own: help asked for in a modal dialog comes up
// above the dialog and takes input while the dialog stays open; a help
// window opened before the dialog takes input too.
class QtHelpOverADialog : public QtHelpTest {
protected:
    void SetUp() override {
        QtHelpTest::SetUp();
        std::string body;
        for (int i = 0; i < 200; ++i) body += "<p>Vrstica " + std::to_string(i) + ".</p>";
        writePage(root / "Pomoc" / "2.html", "Izbira ciljnega mikrokrmilnika", body);
        mainWindow.show();
    }
    // Whether End, as the window system delivers it, scrolled the help window.
    bool TakesKeys() {
        QTextBrowser* window = api.Window();
        window->verticalScrollBar()->setValue(0);
        QTest::keyClick(window->windowHandle(), Qt::Key_End);
        return window->verticalScrollBar()->value() > 0;
    }
    // Runs `inside` while a dialog of the main window is modal.
    void WhileModal(const std::function<void(QDialog&)>& inside) {
        QDialog dialog(&mainWindow);
        QTimer::singleShot(0, &dialog, [&] {
            inside(dialog);
            dialog.accept();
        });
        dialog.exec();
    }

    QtHelpApi api;
    QWidget mainWindow;
    std::string error;
};

TEST_F(QtHelpOverADialog, HelpAskedForInTheDialogComesUpAboveItAndTakesInput) {
    bool shown = false, active = false, keys = false, stillModal = false;
    WhileModal([&](QDialog& dialog) {
        if (!api.WinHelp(helpFile, HELP_CONTEXT, 2, &error)) return;
        shown = api.Window()->isVisible();
        active = QTest::qWaitForWindowActive(api.Window(), 2000);
        keys = TakesKeys();
        stillModal = QApplication::activeModalWidget() == &dialog;
    });
    ASSERT_TRUE(shown) << error;
    EXPECT_TRUE(active) << "raised above the dialog, the help window is the one that takes the keys";
    EXPECT_TRUE(keys) << "the dialog blocks the help window";
    EXPECT_TRUE(stillModal);
    // Once the dialog is gone, help from the main window stands for itself.
    ASSERT_TRUE(api.WinHelp(helpFile, HELP_CONTENTS, 1, &error)) << error;
    EXPECT_TRUE(api.Window()->isVisible());
    EXPECT_EQ(api.Window()->windowHandle()->transientParent(), nullptr);
}

TEST_F(QtHelpOverADialog, HelpOpenBeforeTheDialogTakesInputWhileItIsOpen) {
    ASSERT_TRUE(api.WinHelp(helpFile, HELP_CONTEXT, 2, &error)) << error;
    bool keys = false, keysAfterAsking = false, active = false;
    WhileModal([&](QDialog&) {
        keys = TakesKeys();
        if (!api.WinHelp(helpFile, HELP_CONTEXT, 2, &error)) return;
        active = QTest::qWaitForWindowActive(api.Window(), 2000);
        keysAfterAsking = TakesKeys();
    });
    EXPECT_TRUE(keys) << "the dialog blocks the help window";
    EXPECT_TRUE(active);
    EXPECT_TRUE(keysAfterAsking);
}
