#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>

#include "platform/print/FakePrintApi.h"
#include "platform/print/QtPrintApi.h"
#include "tests/support/TestSupport.h"

using namespace printing;
namespace fs = std::filesystem;

namespace {

using testsupport::FileBytes;

// The page objects of a PDF as Qt writes it: "/Type /Page" without the
// "s" of the page tree.
int pdfPageCount(const std::string& pdf) {
    const QRegularExpression page("/Type\\s*/Page(?![a-zA-Z])");
    int count = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next()) ++count;
    return count;
}

class QtPrintTest : public ::testing::Test {
protected:
    testsupport::TTempFolder temp{"print"};
    const fs::path folder = temp.Path();
};

}  // namespace

TEST(FakePrintApi, RecordsJobsAndAnswersAsTold) {
    FakePrintApi api({1000, 50});
    const PrintFont font{"Courier New", 10, true, false};
    EXPECT_EQ(api.PageSizeFor(font).LinesPerPage(), 20);
    EXPECT_TRUE(api.PrinterSetup());
    api.SetSetupAnswer(false);
    EXPECT_FALSE(api.PrinterSetup());
    EXPECT_EQ(api.SetupCount(), 2);

    std::string error;
    EXPECT_TRUE(api.PrintPages("a.asm", font, {{"one", "two"}, {"three"}}, &error));
    api.FailNextJob("Tiskalnika ni mogoče odpreti.", 1);
    EXPECT_FALSE(api.PrintPages("b.asm", font, {{"x"}, {"y"}}, &error));
    EXPECT_EQ(error, "Tiskalnika ni mogoče odpreti.");
    EXPECT_TRUE(api.PrintPages("c.asm", font, {}, &error)) << "a failure asked once fails once";

    const auto jobs = api.Jobs();
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].Title, "a.asm");
    EXPECT_EQ(jobs[0].Font, font);
    EXPECT_EQ(jobs[0].Pages, (std::vector<Page>{{"one", "two"}, {"three"}}));
    EXPECT_EQ(jobs[1].Pages, (std::vector<Page>{{"x"}})) << "the pages printed before the failure";
    EXPECT_EQ(api.FontsAsked(), std::vector<PrintFont>{font});
    EXPECT_EQ((PageSize{99, 0}).LinesPerPage(), 0);
}

TEST_F(QtPrintTest, PagesGoToAPdfFileOneSheetEach) {
    QtPrintApi api;
    const fs::path pdf = folder / "izpis.pdf";
    int dialogs = 0;
    api.SetSetupDialog([&](QPrinter& printer) {
        ++dialogs;
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    ASSERT_TRUE(api.PrinterSetup());
    EXPECT_EQ(dialogs, 1);

    const PrintFont font{"Courier New", 10};
    const PageSize page = api.PageSizeFor(font);
    EXPECT_GT(page.LineHeight, 0);
    // An A4 or Letter sheet holds some tens of lines of 10 points.
    EXPECT_GT(page.LinesPerPage(), 40);
    EXPECT_LT(page.LinesPerPage(), 90);
    const PageSize bigger = api.PageSizeFor({"Courier New", 20});
    EXPECT_LT(bigger.LinesPerPage(), page.LinesPerPage());

    std::vector<Page> pages(3);
    for (int p = 0; p < 3; ++p)
        for (int line = 0; line < page.LinesPerPage(); ++line)
            pages[p].push_back("stran " + std::to_string(p + 1) + "\tvrstica " + std::to_string(line) + " čšž");
    std::string error;
    ASSERT_TRUE(api.PrintPages("TEMP.ASM", font, pages, &error)) << error;
    const std::string bytes = FileBytes(pdf);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes.substr(0, 4), "%PDF");
    EXPECT_EQ(pdfPageCount(bytes), 3);
}

TEST_F(QtPrintTest, OutputFileNameAndCancelledSetup) {
    QtPrintApi api;
    api.SetSetupDialog([](QPrinter&) { return false; });
    EXPECT_FALSE(api.PrinterSetup());

    const fs::path pdf = folder / "one.pdf";
    api.SetOutputFileName(pdf.string());
    std::string error;
    ASSERT_TRUE(api.PrintPages("x", PrintFont{}, {{"samo ena stran"}}, &error)) << error;
    EXPECT_EQ(pdfPageCount(FileBytes(pdf)), 1);

    // A folder that does not exist cannot be printed into.
    api.SetOutputFileName((folder / "none" / "x.pdf").string());
    EXPECT_FALSE(api.PrintPages("x", PrintFont{}, {{"a"}}, &error));
    EXPECT_EQ(error, "Tiskalnika ni mogoče odpreti.");
}

TEST_F(QtPrintTest, APreviewShowsTheLinesAtTheTopOfTheSheet) {
    QtPrintApi api;
    const PrintFont font{"Courier New", 10};
    auto darkRows = [](const QImage& image) {
        int first = -1, last = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 100) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
        return std::make_pair(first, last);
    };
    const QImage blank = api.PreviewPage(font, {});
    EXPECT_GT(blank.height(), blank.width()) << "an upright sheet";
    EXPECT_EQ(darkRows(blank).first, -1);

    const QImage page = api.PreviewPage(font, {"glava", "", "tretja vrstica"});
    page.save("/tmp/seams-print-preview.png");
    const auto [first, last] = darkRows(page);
    ASSERT_GE(first, 0);
    EXPECT_LT(last, page.height() / 10) << "three lines fill the top of the sheet only";
}

// Lines stand one line height of the font apart; an empty line keeps its place.
TEST_F(QtPrintTest, EachLineStandsOneLineHeightBelowTheOneBefore) {
    QtPrintApi api;
    const int dpi = 96;
    const QImage page = api.PreviewPage({"Courier New", 10}, {"MMMM", "MMMM", "", "MMMM"}, dpi);
    // The tops of the bands of rows that carry ink.
    std::vector<int> tops;
    bool inInk = false;
    for (int y = 0; y < page.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < page.width() && !ink; ++x) ink = qGray(page.pixel(x, y)) < 100;
        if (ink && !inInk) tops.push_back(y);
        inInk = ink;
    }
    QImage sameResolution(1, 1, QImage::Format_RGB32);
    sameResolution.setDotsPerMeterX(qRound(dpi / 0.0254));
    sameResolution.setDotsPerMeterY(qRound(dpi / 0.0254));
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(10);
    const int lineHeight = QFontMetrics(font, &sameResolution).height();
    ASSERT_GT(lineHeight, 5);
    ASSERT_EQ(tops.size(), 3u) << "three lines of ink";
    EXPECT_NEAR(tops[1] - tops[0], lineHeight, 1);
    EXPECT_NEAR(tops[2] - tops[0], 3 * lineHeight, 1);
}

// The real dialog opens and a user's cancel comes back as false.
TEST_F(QtPrintTest, TheDialogCanBeCancelled) {
    QtPrintApi api;
    QTimer::singleShot(0, [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QPrintDialog*>(widget)) dialog->reject();
    });
    EXPECT_FALSE(api.PrinterSetup());
}
