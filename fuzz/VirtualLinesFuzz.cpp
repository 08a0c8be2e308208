// The virtual-lines file on any bytes: its first line parses or is refused,
// and lines that parse are written to a file that reads back the same.
#include "fuzz/FuzzSupport.h"
#include "platform/comm/VirtualLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("lines", fuzz::AsText(data, size));
    const std::optional<std::string> text = comm::ReadVirtualLinesFile(path);
    if (!text) return 0;
    fuzz::Check(text->find('\n') == std::string::npos, "one line");
    const std::optional<comm::VirtualLines> lines = comm::ParseVirtualLines(*text);
    if (!lines) return 0;

    std::string error;
    fuzz::Check(comm::WriteVirtualLinesFile(path, *lines, &error), "the lines are written", error);
    const std::optional<std::string> written = comm::ReadVirtualLinesFile(path);
    fuzz::Check(written.has_value(), "the written file reads");
    const std::optional<comm::VirtualLines> again = comm::ParseVirtualLines(*written);
    fuzz::Check(again && *again == *lines, "the lines read back", *written);
    return 0;
}
