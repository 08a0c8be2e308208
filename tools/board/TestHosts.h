// Test support: the two hosts of the board, each a serial port set up as the
// program it stands for. BootstrapHost writes a byte per blocking write, as
// the programmer does; StreamHost writes a byte per transmit-empty event
// with output XON/XOFF, as the downloader does.
#pragma once

#include <cstdint>
#include <string>

#include "comport/ComPortTestSupport.h"
#include "comport/SerialPort.h"
#include "tools/board/TimedLine.h"

namespace board {

inline void ConfigureProgrammerPort(TComPort& port, const std::string& name) {
    port.SetBaudRate(br1200);
    port.SetPort(name);
    port.SetDataBits(dbEight);
    port.Parity().SetBits(prNone);
    port.SetStopBits(sbOneStopBit);
    port.FlowControl().SetFlowControl(fcNone);
    port.FlowControl().SetControlDTR(dtrDisable);
    port.SetEvents({evRxChar, evDSR});
    port.Buffer().SetInputSize(2);
    port.Buffer().SetOutputSize(1024);
    port.Timeouts().SetReadInterval(-1);
    port.Timeouts().SetWriteTotalMultiplier(100);
    port.Timeouts().SetWriteTotalConstant(1000);
}

struct BootstrapHost {
    explicit BootstrapHost(comm::CommApi& api, const std::string& name = "COM2") : Port(api) {
        ConfigureProgrammerPort(Port, name);
        Port.OnAfterOpen = [this](TObject*) { Port.SetDTR(true); };
        Port.OnDSRChange = [this](TObject*, bool on) {
            if (on) Found = true;
        };
    }
    // $FF, then the bytes, then $FF up to ramSize; false at the first short write.
    bool Download(const std::string& bytes, int ramSize) {
        if (!Send(0xFF)) return false;
        for (unsigned char c : bytes)
            if (!Send(c)) return false;
        for (int i = static_cast<int>(bytes.size()); i < ramSize; ++i)
            if (!Send(0xFF)) return false;
        return true;
    }
    bool Send(uint8_t byte) { return Port.WriteBuffer(&byte, 1) == 1; }

    TComPort Port;
    bool Found = false;
};

struct StreamHost {
    explicit StreamHost(comm::CommApi& api, const std::string& name = "COM2") : Port(api) {
        Port.SetBaudRate(br1200);
        Port.SetPort(name);
        Port.SetEvents({evRxChar, evTxEmpty, evDSR});
        Port.Buffer().SetInputSize(2);
        Port.Buffer().SetOutputSize(2);
        TComFlowControl& flow = Port.FlowControl();
        flow.SetFlowControl(fcCustom);
        flow.SetXonXoffOut(true);
        flow.SetXonChar(0x11);
        flow.SetXoffChar(0x13);
        Port.Timeouts().SetReadInterval(-1);
        Port.Timeouts().SetWriteTotalMultiplier(100);
        Port.Timeouts().SetWriteTotalConstant(1000);
        Port.OnTxEmpty = [this](TObject*) { Next(); };
    }
    // Sends the first byte; each transmit-empty sends the next.
    void Start(std::string stream) {
        Stream = std::move(stream);
        Pos = 0;
        Next();
    }
    void Next() {
        if (Done || Failed || Pos >= Stream.size()) return;
        const uint8_t byte = static_cast<uint8_t>(Stream[Pos]);
        if (Port.WriteBuffer(&byte, 1) != 1) {
            Failed = true;
            return;
        }
        if (++Pos == Stream.size()) Done = true;
    }

    TComPort Port;
    std::string Stream;
    size_t Pos = 0;
    bool Done = false;
    bool Failed = false;  // a write ran out of time
};

// The record stream of S1 records: $FF, per record n, address, data, $00 $00,
// then $FF.
struct StreamRecord {
    uint16_t address;
    std::string data;
};
inline std::string RecordStream(const std::vector<StreamRecord>& records) {
    std::string stream = "\xFF";
    for (const StreamRecord& r : records) {
        stream += static_cast<char>(r.data.size());
        stream += static_cast<char>(r.address >> 8);
        stream += static_cast<char>(r.address & 0xFF);
        stream += r.data;
        stream += std::string(2, '\0');
    }
    return stream + "\xFF";
}

}  // namespace board
