// The virtual modem lines of a device that has none (a pseudo-terminal), as
// one line of text:
//   loop               DSR and RLSD follow our DTR, CTS follows our RTS (the
//                      default, and what an empty text means): a program that
//                      raises DTR sees a board;
//   none               every input line off;
//   CTS,DSR,RLSD,RI    the input lines that are on, in any order and case
//                      (DCD stands for RLSD, RING for RI).
// The text comes from VANTREL_PTY_LINES, or from the file that
// VANTREL_PTY_LINES_FILE names; the comm layer re-reads that file every 10 ms,
// so a stand-in board in another process moves the lines by rewriting it.
#pragma once

#include <optional>
#include <string>

#include "platform/comm/CommApi.h"

namespace comm {

inline constexpr char kVirtualLinesVariable[] = "VANTREL_PTY_LINES";
inline constexpr char kVirtualLinesFileVariable[] = "VANTREL_PTY_LINES_FILE";

struct VirtualLines {
    bool Loop = true;
    DWORD Fixed = 0;  // MS_ bits that are on when not looping
    bool operator==(const VirtualLines&) const = default;
};

// nullopt for a text naming an unknown line.
std::optional<VirtualLines> ParseVirtualLines(std::string text);
// "loop", "none", or the lines that are on in the order CTS,DSR,RLSD,RI.
std::string FormatVirtualLines(const VirtualLines& lines);

// The file's first line; nullopt when the file cannot be read or is empty.
std::optional<std::string> ReadVirtualLinesFile(const std::string& path);
// Writes through a temporary file and a rename, so a reader never sees half a
// line; false with *error on failure.
bool WriteVirtualLinesFile(const std::string& path, const VirtualLines& lines, std::string* error);

}  // namespace comm
