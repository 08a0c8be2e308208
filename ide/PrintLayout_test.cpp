#include "ide/PrintLayout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Vantrel;
using ::testing::ElementsAre;

namespace {

const std::string Rule(40, '-');

TEST(PrintLayout, HeaderRightAlignsTheCaptionInThirtyFiveCharacters) {
    struct Row {
        std::string caption;
        std::string line;
    };
    for (const Row& row : {
             Row{"a.asm", std::string(30, ' ') + "a.asm" + "St.1"},
             // Letters of two bytes count as one character.
             Row{"čšž.asm", std::string(28, ' ') + "čšž.asm" + "St.1"},
             Row{std::string(35, 'x'), std::string(35, 'x') + "St.1"},
             Row{std::string(50, 'y'), std::string(50, 'y') + "St.1"},
         }) {
        EXPECT_THAT(PageHeader(row.caption, 1), ElementsAre(row.line, Rule)) << row.caption;
    }
    EXPECT_EQ(PageHeader("a", 12)[0].substr(35), "St.12");
}

TEST(PrintLayout, EachPageHoldsAtMostLMinusTwoLinesAfterItsHeader) {
    const int L = 6;  // 4 text lines a page
    std::vector<std::string> lines;
    for (int i = 1; i <= 9; ++i) lines.push_back(std::string("v") + std::to_string(i));
    const auto pages = PaginateForPrint("doc", lines, L);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_THAT(pages[0], ElementsAre(PageHeader("doc", 1)[0], Rule, "v1", "v2", "v3", "v4"));
    EXPECT_THAT(pages[1], ElementsAre(PageHeader("doc", 2)[0], Rule, "v5", "v6", "v7", "v8"));
    EXPECT_THAT(pages[2], ElementsAre(PageHeader("doc", 3)[0], Rule, "v9"));
}

TEST(PrintLayout, ExactlyLMinusTwoLinesGivesAHeaderOnlySecondPage) {
    const auto pages = PaginateForPrint("doc", {"", "b", ""}, 5);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_THAT(pages[0], ElementsAre(PageHeader("doc", 1)[0], Rule, "", "b", ""));
    EXPECT_THAT(pages[1], ElementsAre(PageHeader("doc", 2)[0], Rule));
}

TEST(PrintLayout, EmptyDocumentAndTinyPagesStillEnd) {
    EXPECT_EQ(PaginateForPrint("doc", {}, 60).size(), 1u);
    // A page too small for its header takes one line each.
    for (int L : {0, 1, 2, 3}) EXPECT_EQ(PaginateForPrint("doc", {"a", "b"}, L).size(), 3u) << L;
}

}  // namespace
