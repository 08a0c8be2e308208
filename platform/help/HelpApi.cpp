#include "platform/help/HelpApi.h"

#include <filesystem>

#include "platform/text/TextFile.h"

namespace help {

std::string HelpPagePath(const std::string& helpFile, unsigned command, std::uintptr_t data) {
    std::string page;
    switch (command) {
        case HELP_CONTEXT: page = std::to_string(data) + ".html"; break;
        case HELP_CONTENTS:
        case HELP_FINDER: page = "index.html"; break;
        default: return {};
    }
    return (std::filesystem::path(helpFile).parent_path() / page).string();
}

bool FindHelpPage(const std::string& helpFile, unsigned command, std::uintptr_t data, std::string* page,
                  std::string* error) {
    const std::string wanted = HelpPagePath(helpFile, command, data);
    if (wanted.empty()) {
        if (error) *error = UnknownCommandMessage(command);
        return false;
    }
    const auto found = FindFileIgnoringCase(wanted);
    if (!found) {
        if (error) *error = MissingPageMessage(wanted);
        return false;
    }
    if (page) *page = *found;
    return true;
}

std::string MissingPageMessage(const std::string& page) { return "Ne najdem datoteke pomoči \"" + page + "\"!"; }

std::string UnknownCommandMessage(unsigned command) { return "Neznan ukaz pomoči " + std::to_string(command) + "!"; }

}  // namespace help
