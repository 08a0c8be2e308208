// The .bat reader on any file and any parameters: it gives a command of
// words or a message, never both, and a parameter never splits into more
// words than it has.
#include "fuzz/FuzzSupport.h"
#include "platform/shell/ShellApi.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    std::vector<std::string> parameters;
    const int count = provider.ConsumeIntegralInRange(0, 10);
    for (int i = 0; i < count; ++i) parameters.push_back(provider.ConsumeRandomLengthString(20));
    const std::string path = fuzz::WriteScratchFile("asm.bat", provider.ConsumeRemainingBytesAsString());

    std::vector<std::string> command;
    std::string error;
    const shell::StartStatus status = shell::ReadBatchFile(path, parameters, &command, &error);
    if (status == shell::StartStatus::Started) {
        fuzz::Check(!command.empty() && error.empty(), "a command and no message");
    } else {
        fuzz::Check(command.empty() && !error.empty(), "a message and no command");
    }
    // The start of as11m as Vantrel writes it.
    const std::vector<std::string> words = shell::ExpandBatchLine("AS11M %1 -l", parameters);
    if (!parameters.empty() && !parameters[0].empty() && parameters[0].find_first_of(" \t\"") == std::string::npos)
        fuzz::Check(words.size() == 3 && words[1] == parameters[0], "a plain file name stays one word", parameters[0]);
    return 0;
}
