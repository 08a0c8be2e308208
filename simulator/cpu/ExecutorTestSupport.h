// Table-driven instruction cases for the executor tests.
//
// A case is: the instruction bytes (placed at PC), a setup and the expected
// changes, both written as "KEY=HEX" words:
//   registers  A B D IX IY SP PC CCR
//   flags      S X H I N Z V C          (0 or 1)
//   run state  wait stop ill top ea cyc len
//   memory     @1234=5F, @1234=5F60 (consecutive bytes), @1234="3f" (cell text)
// Everything the expectation does not name must stay as the setup left it
// (all 64 KiB of memory included); PC defaults to the byte after the
// instruction. Every run also checks D = A*256 + B and CCR = packed flags.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct TInstructionCase {
    std::string Name;
    std::string Code;  // hex bytes, e.g. "18 A6 10"
    std::string Setup;
    std::string Expect;
};

// Defaults before the setup: memory "00", registers 0 except PC = $0100 and
// SP = $01FF, all flags 0.
inline constexpr uint16_t CasePc = 0x0100;
inline constexpr uint16_t CaseSp = 0x01FF;

// Runs one case; returns "" when it passed, otherwise a report with the
// instruction, setup, expected and actual values.
std::string RunInstructionCase(const TInstructionCase& c);

using TCaseTable = std::vector<TInstructionCase>;

// Keeps a family's table for the opcode coverage check and returns it. The
// family files register their tables at namespace scope, so every table is
// known before the first test runs, whichever test that is.
const TCaseTable& RegisterCaseTable(TCaseTable cases);
const std::deque<TCaseTable>& RegisteredCaseTables();

// Runs every case of a family and fails the current test for each mismatch.
void RunInstructionCases(const TCaseTable& cases);

// Sets up the model as a case's setup would (for hand-written tests).
void SetUpMachine(const std::string& setup);
