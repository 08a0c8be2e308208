#include "platform/help/QtHelpApi.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

using namespace help;
namespace fs = std::filesystem;

namespace {

void writePage(const fs::path& path, const std::string& title, const std::string& body) {
    std::ofstream(path, std::ios::binary) << "<!DOCTYPE html>\n<html lang=\"sl\"><head><meta charset=\"utf-8\"><title>"
                                          << title << "</title></head>\n<body><h1>" << title << "</h1>\n"
                                          << body << "\n</body></html>\n";
}

// A small help folder of the kind the editor ships.
class QtHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qthelp-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
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
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path root;
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

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
