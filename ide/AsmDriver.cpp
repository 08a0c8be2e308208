#include "ide/AsmDriver.h"

#include <fstream>

namespace Vantrel {

std::string AsmBatLine(bool symbolTable, bool cycleCounts) {
    std::string line = DefaultAsmBatLine;
    if (symbolTable) line += " s";
    line += cycleCounts ? " c" : " noc";
    return line;
}

bool WriteAsmBat(const std::string& path, const std::string& line) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << line;
    file.close();
    return static_cast<bool>(file);
}

bool WaitForListing(timing::Clock& clock, const std::function<bool()>& listingExists,
                    const std::function<void()>& idle) {
    const bool appeared = timing::WaitFor(clock, listingExists, ListingWaitMs, WaitPollMs, idle);
    // The assembler may still be writing the object file.
    timing::WaitFor(
        clock, [] { return false; }, AfterListingWaitMs, WaitPollMs, idle);
    return appeared;
}

}  // namespace Vantrel
