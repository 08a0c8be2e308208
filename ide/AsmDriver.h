// The assembler driver's Qt-free pieces (unit Unit1 and the assemble
// command): the line of asm.bat and the wait for the assembler's listing.
#pragma once

#include "platform/clock/Clock.h"

#include <functional>
#include <string>

namespace Vantrel {

// The line asm.bat holds from each start-up until the options dialog is
// confirmed; it has neither " c" nor " noc".
inline constexpr char DefaultAsmBatLine[] = "AS11M %1 -l";

// The line the options dialog writes on OK: " s" for the symbol table, then
// " c" or " noc" for the cycle counts.
std::string AsmBatLine(bool symbolTable, bool cycleCounts);

// Writes asm.bat anew: the line with no line end. False when it cannot be
// written.
bool WriteAsmBat(const std::string& path, const std::string& line);

inline constexpr timing::Ticks ListingWaitMs = 9000;
inline constexpr timing::Ticks AfterListingWaitMs = 1000;
inline constexpr timing::Ticks WaitPollMs = 5;

// Waits until `listingExists` holds or more than 9000 ms have passed (the
// test comes first in every round), then 1000 ms more whatever happened.
// Between rounds `idle` runs (the window keeps painting) and the clock
// sleeps a few milliseconds. Returns whether the listing appeared.
bool WaitForListing(timing::Clock& clock, const std::function<bool()>& listingExists,
                    const std::function<void()>& idle);

}  // namespace Vantrel
