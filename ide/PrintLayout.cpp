#include "ide/PrintLayout.h"

namespace Vantrel {

namespace {

constexpr size_t CaptionField = 35;
constexpr size_t RuleLength = 40;
constexpr int HeaderLines = 2;

size_t CharacterCount(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

}  // namespace

TPrintPage PageHeader(const std::string& caption, int page) {
    const size_t width = CharacterCount(caption);
    std::string first = width < CaptionField ? std::string(CaptionField - width, ' ') + caption : caption;
    // "St." is the system's own abbreviation, kept as it stands.
    first += "St." + std::to_string(page);
    return {first, std::string(RuleLength, '-')};
}

std::vector<TPrintPage> PaginateForPrint(const std::string& caption, const std::vector<std::string>& lines,
                                         int linesPerPage) {
    std::vector<TPrintPage> pages{PageHeader(caption, 1)};
    int counter = HeaderLines + 1;
    for (const std::string& line : lines) {
        pages.back().push_back(line);
        if (++counter > linesPerPage) {
            pages.push_back(PageHeader(caption, static_cast<int>(pages.size()) + 1));
            counter = HeaderLines + 1;
        }
    }
    return pages;
}

}  // namespace Vantrel
