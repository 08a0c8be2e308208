// The COM-name map (VANTREL_COMPORTS) on any text: a map that parses is
// written back to a text that parses to the same map; port names give 0..16.
#include "fuzz/FuzzSupport.h"
#include "platform/comm/ComPortMap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(fuzz::AsText(data, size));
    const int number = comm::DevicePortNumber(text);
    fuzz::Check(number >= 0 && number <= MaxComPort, "a port number of 0..16", text);

    comm::ComPortMap map;
    std::string error;
    if (!comm::ParseComPortMap(text, &map, &error)) {
        fuzz::Check(!error.empty(), "a refused map says why", text);
        return 0;
    }
    for (const auto& [port, device] : map) {
        fuzz::Check(port >= 1 && port <= MaxComPort, "ports of 1..16", text);
        fuzz::Check(!device.empty() && device[0] == '/', "absolute device paths", device);
    }
    comm::ComPortMap again;
    const std::string formatted = comm::FormatComPortMap(map);
    fuzz::Check(comm::ParseComPortMap(formatted, &again, &error) && again == map, "the map reads back", formatted);
    return 0;
}
