// The page layout of a printed source: each page starts with the document's
// caption right-aligned in 35 characters followed by "St." and the page
// number, then a rule of 40 '-'; a page holds at most linesPerPage - 2 text
// lines. Qt-free, so the layout is tested without a printer.
#pragma once

#include <string>
#include <vector>

namespace Vantrel {

using TPrintPage = std::vector<std::string>;

// The two header lines of page `page` (counted from 1). Widths count
// characters, not bytes, of the UTF-8 caption.
TPrintPage PageHeader(const std::string& caption, int page);

// The pages in print order; a page break stands where the printer gets a form
// feed. A document of exactly linesPerPage - 2 lines ends with a page that
// holds only its header, as the line counter runs over after the last line.
std::vector<TPrintPage> PaginateForPrint(const std::string& caption, const std::vector<std::string>& lines,
                                         int linesPerPage);

}  // namespace Vantrel
