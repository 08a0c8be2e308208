// The driver's input decoding, without a terminal: a pseudo-terminal cannot
// deliver the error marks a UART puts into the data.
#include "platform/comm/PosixDevice.h"

#include <gtest/gtest.h>

using namespace comm;

TEST(PosixDeviceInput, MarksFiltersAndTheEventCharacter) {
    using std::string_literals::operator""s;
    struct Row {
        const char* what;
        DWORD flags;
        std::string bytes;
        std::string queued;
        DWORD errors;
        DWORD events;
    };
    const DWORD parity = DCB::fBinary | DCB::fParity;
    const Row rows[] = {
        {"plain", DCB::fBinary, "ab", "ab", 0, EV_RXCHAR},
        {"an escaped \\377", DCB::fBinary, "\377\377", "\377", 0, EV_RXCHAR},
        {"a lone \\377 before a byte", DCB::fBinary, "\377a", "\377a", 0, EV_RXCHAR},
        {"a break", DCB::fBinary, "\377\0\0"s, "", CE_BREAK, EV_BREAK},
        {"a framing error", DCB::fBinary, "\377\0x"s, "x", CE_FRAME, EV_RXCHAR | EV_ERR},
        {"a parity error", parity, "\377\0x"s, "x", CE_RXPARITY, EV_RXCHAR | EV_ERR},
        {"a parity error replaced", parity | DCB::fErrorChar, "\377\0x"s, "?", CE_RXPARITY, EV_RXCHAR | EV_ERR},
        {"replacing needs checking", DCB::fBinary | DCB::fErrorChar, "\377\0x"s, "x", CE_FRAME, EV_RXCHAR | EV_ERR},
        {"NULs discarded", DCB::fBinary | DCB::fNull, "a\0b"s, "ab", 0, EV_RXCHAR},
        {"the event character", DCB::fBinary, "1\r", "1\r", 0, EV_RXCHAR | EV_RXFLAG},
    };
    for (const Row& row : rows) {
        PosixCommApi api;
        PosixCommApi::Device device(api, -1, -1, false);
        device.Dcb.Flags = row.flags;
        device.Dcb.ErrorChar = '?';
        device.Dcb.EvtChar = '\r';
        device.Mask = 0xFFFF;
        device.decode(reinterpret_cast<const BYTE*>(row.bytes.data()), row.bytes.size());
        EXPECT_EQ(std::string(device.Input.begin(), device.Input.end()), row.queued) << row.what;
        EXPECT_EQ(device.Errors, row.errors) << row.what;
        EXPECT_EQ(device.History, row.events) << row.what;
    }
}
