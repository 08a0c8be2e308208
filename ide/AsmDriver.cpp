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
    bool appeared = false;
    const timing::Ticks t0 = clock.GetTickCount64();
    for (;;) {
        if (listingExists()) {
            appeared = true;
            break;
        }
        if (clock.GetTickCount64() > t0 + ListingWaitMs) break;
        idle();
        clock.Sleep(WaitPollMs);
    }
    // The assembler may still be writing the object file.
    const timing::Ticks t1 = clock.GetTickCount64();
    while (clock.GetTickCount64() <= t1 + AfterListingWaitMs) {
        idle();
        clock.Sleep(WaitPollMs);
    }
    return appeared;
}

}  // namespace Vantrel
