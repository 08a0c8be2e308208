#include "downloader/CommandLine.h"

#include "common/NumberText.h"
#include "common/Framework.h"

namespace Tolvex {

std::string ParamStr(const TParameters& parameters, int index) {
    if (index < 1 || index > static_cast<int>(parameters.size())) return {};
    return parameters[static_cast<size_t>(index - 1)];
}

int StrToInt(const std::string& text) {
    const std::optional<int> value = TextToInt(text);
    if (!value) throw EConvertError("'" + text + "' is not a valid integer value");
    return *value;
}

std::string DownloaderPortName(int number) {
    switch (number) {
        case 1: return "COM1";
        case 3: return "COM3";
        default: return "COM2";
    }
}

}  // namespace Tolvex
