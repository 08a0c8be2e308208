#include <gtest/gtest.h>

#include <filesystem>

#include "platform/help/FakeHelpApi.h"
#include "platform/help/HelpApi.h"
#include "tests/support/TestSupport.h"

using namespace help;
namespace fs = std::filesystem;

TEST(HelpApi, CommandsMapToThePagesBesideTheHelpFile) {
    struct Case {
        unsigned command;
        std::uintptr_t data;
        std::string page;
    } cases[] = {
        {HELP_CONTEXT, 1, "/w/Pomoc/1.html"},
        {HELP_CONTEXT, 3, "/w/Pomoc/3.html"},
        {HELP_CONTEXT, 0, "/w/Pomoc/0.html"},
        {HELP_CONTENTS, 1, "/w/Pomoc/index.html"},
        {HELP_CONTENTS, 2, "/w/Pomoc/index.html"},
        {HELP_FINDER, 0, "/w/Pomoc/index.html"},
        {HELP_QUIT, 0, ""},
        {0x0004, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HelpPagePath("/w/Pomoc/VantrelHELP.hlp", c.command, c.data), c.page) << c.command << " " << c.data;
    EXPECT_EQ(HelpPagePath("Pomoc/VantrelHELP.hlp", HELP_CONTEXT, 2), "Pomoc/2.html");
}

TEST(HelpApi, PagesAreFoundRegardlessOfCaseAndMissingOnesNamed) {
    const testsupport::TTempFolder temp("help");
    const fs::path folder = temp / "Pomoc";
    fs::create_directories(folder);
    testsupport::WriteFileBytes(folder / "INDEX.HTML", "<html></html>");
    testsupport::WriteFileBytes(folder / "3.html", "<html></html>");
    const std::string file = (folder / "VantrelHELP.hlp").string();

    std::string page, error;
    EXPECT_TRUE(FindHelpPage(file, HELP_CONTENTS, 1, &page, &error));
    EXPECT_EQ(page, (folder / "INDEX.HTML").string());
    EXPECT_TRUE(FindHelpPage(file, HELP_CONTEXT, 3, &page, &error));
    EXPECT_EQ(page, (folder / "3.html").string());
    EXPECT_FALSE(FindHelpPage(file, HELP_CONTEXT, 2, &page, &error));
    EXPECT_EQ(error, "Ne najdem datoteke pomoči \"" + (folder / "2.html").string() + "\"!");
    EXPECT_FALSE(FindHelpPage(file, 0x0004, 0, &page, &error));
    EXPECT_EQ(error, "Neznan ukaz pomoči 4!");
}

TEST(FakeHelpApi, RecordsCallsAndFollowsTheWindow) {
    FakeHelpApi api;
    std::string error;
    EXPECT_TRUE(api.WinHelp("Pomoc/VantrelHELP.hlp", HELP_CONTEXT, 3, &error));
    EXPECT_TRUE(api.IsOpen());
    EXPECT_EQ(api.ShownPage(), "Pomoc/3.html");
    EXPECT_TRUE(api.WinHelp("Pomoc/VantrelHELP.hlp", HELP_QUIT, 0, &error));
    EXPECT_FALSE(api.IsOpen());

    api.FailWith(MissingPageMessage("Pomoc/index.html"));
    EXPECT_FALSE(api.WinHelp("Pomoc/VantrelHELP.hlp", HELP_CONTENTS, 1, &error));
    EXPECT_EQ(error, "Ne najdem datoteke pomoči \"Pomoc/index.html\"!");
    EXPECT_FALSE(api.IsOpen());
    EXPECT_TRUE(api.WinHelp("Pomoc/VantrelHELP.hlp", HELP_QUIT, 0, &error));
    api.FailWith(std::nullopt);
    EXPECT_FALSE(api.WinHelp("Pomoc/VantrelHELP.hlp", 0x0004, 0, &error));
    EXPECT_EQ(error, "Neznan ukaz pomoči 4!");

    const auto calls = api.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].Command, HELP_CONTEXT);
    EXPECT_EQ(calls[0].Data, 3u);
    EXPECT_TRUE(calls[0].Succeeded);
    EXPECT_EQ(calls[2].Command, HELP_CONTENTS);
    EXPECT_EQ(calls[2].Page, "Pomoc/index.html");
    EXPECT_FALSE(calls[2].Succeeded);
    EXPECT_TRUE(calls[3].Succeeded) << "quitting always works";
    EXPECT_EQ(api.LastCall()->Command, 0x0004u);
}
