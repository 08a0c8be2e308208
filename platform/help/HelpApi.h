// Help as the programs ask for it, in the shape of WinHelp: a help file, a
// command and a number. Two implementations: QtHelpApi (a help window on
// HTML pages, library platform_help_qt) and FakeHelpApi (tests); this
// header has no Qt, so Qt-free code can hold a HelpApi.
//
// The help file "Pomoc/VantrelHELP.hlp" stands for the HTML pages in its
// folder (Pomoc/):
// - HELP_CONTEXT n shows n.html, the page of context number n;
// - HELP_CONTENTS and HELP_FINDER show index.html, the contents page (as
//   WinHelp, they ignore the number);
// - HELP_QUIT closes the help window.
// Pages are found regardless of the letter case of their names.
#pragma once

#include <cstdint>
#include <string>

namespace help {

inline constexpr unsigned HELP_CONTEXT = 0x0001;
inline constexpr unsigned HELP_QUIT = 0x0002;
inline constexpr unsigned HELP_CONTENTS = 0x0003;
inline constexpr unsigned HELP_FINDER = 0x000B;

class HelpApi {
public:
    virtual ~HelpApi() = default;

    // False with `error` filled when the page is missing (a message naming
    // the missing file, for an information box) or the command is unknown.
    virtual bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data, std::string* error) = 0;
};

// The page a command shows, built from the help file's name as the mapping
// above says (nothing is looked up on disk); empty for HELP_QUIT and for
// unknown commands.
std::string HelpPagePath(const std::string& helpFile, unsigned command, std::uintptr_t data);

// The existing page a command shows. False with `error` filled when the
// command is unknown or shows no page, or when the page is missing.
bool FindHelpPage(const std::string& helpFile, unsigned command, std::uintptr_t data, std::string* page,
                  std::string* error);

// The messages of a failed call, shared so the fake says what the window says.
std::string MissingPageMessage(const std::string& page);
std::string UnknownCommandMessage(unsigned command);

}  // namespace help
