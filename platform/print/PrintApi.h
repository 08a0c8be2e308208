// Printing plain text: a font, the size of a page, and pages of lines. The
// caller lays the pages out (headers, page breaks); this seam only asks the
// printer for its set-up and its page, and prints each given page on a
// sheet of its own, each line one printed line. Two implementations:
// QtPrintApi (Qt PrintSupport, library platform_print_qt) and FakePrintApi
// (tests); this header has no Qt.
#pragma once

#include <string>
#include <vector>

namespace printing {

struct PrintFont {
    std::string Family = "Courier New";
    int PointSize = 10;
    bool Bold = false;
    bool Italic = false;
    bool operator==(const PrintFont&) const = default;
};

// A page in printer pixels: its printable height and the height of one
// line of text in the font asked for.
struct PageSize {
    int Height = 0;
    int LineHeight = 0;
    // The whole lines that fit on a page; 0 when the printer gave no size.
    int LinesPerPage() const { return LineHeight > 0 ? Height / LineHeight : 0; }
    bool operator==(const PageSize&) const = default;
};

using Page = std::vector<std::string>;  // UTF-8 lines

class PrintApi {
public:
    virtual ~PrintApi() = default;

    // The printer set-up dialog. False when it was cancelled.
    virtual bool PrinterSetup() = 0;
    // The page of the chosen printer with lines in `font`.
    virtual PageSize PageSizeFor(const PrintFont& font) = 0;
    // One print job named `title`. False with `error` filled when the printer
    // could not be opened or failed part-way; the job is ended either way.
    virtual bool PrintPages(const std::string& title, const PrintFont& font, const std::vector<Page>& pages,
                            std::string* error) = 0;
};

}  // namespace printing
