// The port over a pseudo-terminal with the POSIX comm layer: the test plays
// the board on the master side.
#include "comport/ComPortTestSupport.h"
#include "comport/SerialPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/comm/PosixCommApi.h"
#include "platform/comm/PtyBoard.h"

using namespace std::chrono_literals;
using namespace comm;
using ::testing::ElementsAre;

namespace {

class PtyTest : public ::testing::Test {
protected:
    PtyTest() { api.SetPortMap(ComPortMap{{5, board.SlavePath()}}); }
    void SetUp() override { ASSERT_FALSE(board.SlavePath().empty()); }

    // Everything the board has received so far.
    std::string BoardReads() { return board.ReceivedSoFar(); }
    void BoardSends(const std::string& bytes) { ASSERT_TRUE(board.Send(bytes)); }

    PtyBoard board;
    PosixCommApi api;
};

TEST_F(PtyTest, DataBothWaysAndTheBoardSeenThroughDsr) {
    // Vantrel's way: raise DTR once open, take DSR on as the board.
    TComPort port(api);
    port.SetPort("COM5");
    port.SetBaudRate(br115200);
    port.SetEvents({evRxChar, evDSR});
    std::vector<bool> dsr;
    int waiting = 0;
    port.OnAfterOpen = [&](TObject*) { port.SetDTR(true); };
    port.OnDSRChange = [&](TObject*, bool on) { dsr.push_back(on); };
    port.OnRxChar = [&](TObject*, int count) { waiting = count; };
    port.Open();
    ASSERT_FALSE(dsr.empty());
    EXPECT_TRUE(dsr.back());

    EXPECT_EQ(port.WriteBuffer("\xFF\x01\x02", 3), 3);
    ASSERT_TRUE(PumpUntil([&] { return BoardReads().size() == 3; }));
    EXPECT_EQ(BoardReads(), "\xFF\x01\x02");

    BoardSends("ok!");
    ASSERT_TRUE(PumpUntil([&] { return waiting == 3; }));
    char buffer[8] = {};
    EXPECT_EQ(port.ReadBuffer(buffer, 8), 3);
    EXPECT_EQ(std::string(buffer, 3), "ok!");
    port.Close();
}

TEST_F(PtyTest, DtrRaisedAfterOpenSurvivesAPortChangeInsideAnUpdate) {
    PtyBoard other;
    api.SetPortMap(ComPortMap{{5, board.SlavePath()}, {6, other.SlavePath()}});
    TComPort port(api);
    port.SetPort("COM5");
    port.SetBaudRate(br1200);
    port.SetEvents({evRxChar, evDSR});
    std::vector<bool> dsr;
    port.OnAfterOpen = [&](TObject*) { port.SetDTR(true); };
    port.OnDSRChange = [&](TObject*, bool on) { dsr.push_back(on); };
    port.Open();
    port.BeginUpdate();
    port.SetPort("COM6");
    port.EndUpdate();
    PumpUntil([] { return false; }, 50ms);  // any DSR event still on its way
    EXPECT_TRUE(port.ModemSignals().Contains(msDSR));
    ASSERT_FALSE(dsr.empty());
    EXPECT_TRUE(dsr.back()) << "DSR reported off after the update";
    port.Close();
}

TEST_F(PtyTest, ALostDeviceReportsItsLinesOffFailsTransfersAndCloses) {
    TComPort port(api);
    port.SetPort("COM5");
    port.SetEvents({evRxChar, evDSR, evRLSD});
    std::vector<std::string> log;
    port.OnAfterOpen = [&](TObject*) { port.SetDTR(true); };
    port.OnDSRChange = [&](TObject*, bool on) { log.push_back(on ? "DSR on" : "DSR off"); };
    port.OnRLSDChange = [&](TObject*, bool on) { log.push_back(on ? "RLSD on" : "RLSD off"); };
    port.Open();
    EXPECT_THAT(log, ElementsAre("DSR on", "RLSD on"));
    // The events of raising DTR come from the event thread too.
    ASSERT_TRUE(PumpUntil([&] { return log.size() >= 4; }, 3000ms));
    PumpUntil([] { return false; }, 20ms);
    log.clear();
    board.Close();  // the adapter is pulled out
    ASSERT_TRUE(PumpUntil([&] { return log.size() >= 2; }, 3000ms)) << "no line events";
    EXPECT_THAT(log, ElementsAre("DSR off", "RLSD off"));
    auto code = [](const std::function<void()>& op) {
        try {
            op();
        } catch (const EComPort& e) {
            return std::to_string(e.Code) + "/" + std::to_string(e.WinCode);
        }
        return std::string("none");
    };
    EXPECT_EQ(code([&] { port.WriteBuffer("x", 1); }), "2/31");
    char byte = 0;
    EXPECT_EQ(code([&] { port.ReadBuffer(&byte, 1); }), "3/31");
    port.OnDSRChange = port.OnRLSDChange = nullptr;
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(code([&] { port.Open(); }), "1/2") << "the device is missing now";
}

TEST_F(PtyTest, HandlerExceptionIsShownAndEndsTheEvents) {
    std::vector<std::string> shown;
    SetApplicationShowException([&](const std::exception& e) { shown.push_back(e.what()); });
    TComPort port(api);
    port.SetPort("COM5");
    port.SetEvents({evRxChar});
    int calls = 0;
    port.OnRxChar = [&](TObject*, int) {
        ++calls;
        throw std::runtime_error("handler failed");
    };
    port.Open();
    BoardSends("a");
    ASSERT_TRUE(PumpUntil([&] { return !shown.empty(); })) << "never shown";
    EXPECT_THAT(shown, ElementsAre("handler failed"));
    EXPECT_TRUE(PumpUntil([&] { return !port.HasWaitThread(); }));
    BoardSends("b");
    PumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(calls, 1);
    port.Close();
    SetApplicationShowException(nullptr);
}

TEST_F(PtyTest, TransmitEmptyChainPausedByXoff) {
    // Tolvex's way: one byte per transmit-empty event, XON/XOFF on output.
    TComPort port(api);
    port.SetPort("COM5");
    // Tolvex's speed: the XOFF, however late a loaded machine delivers it,
    // comes long before the stream's end.
    port.SetBaudRate(br1200);
    port.FlowControl().SetFlowControl(fcCustom);
    port.FlowControl().SetXonXoffOut(true);
    port.Buffer().SetInputSize(2);
    port.Buffer().SetOutputSize(2);
    port.SetEvents({evRxChar, evTxEmpty, evDSR});
    std::string stream(200, '\0');
    for (size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<char>('A' + i % 26);
    size_t next = 1;
    std::vector<int> counts;
    port.OnTxEmpty = [&](TObject*) {
        if (next < stream.size()) counts.push_back(port.WriteBuffer(&stream[next++], 1));
    };
    // The board holds the line with XOFF for a while, as the EEPROM talker does.
    size_t held = 0, afterPause = 0;
    std::atomic<bool> boardDone{false};
    std::thread board([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        auto readUntil = [&](size_t n) {
            while (BoardReads().size() < n && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        readUntil(20);
        BoardSends("\x13");
        // Stopped once nothing more came for 200 ms (what was on its way when
        // the XOFF took hold may still arrive).
        held = BoardReads().size();
        for (auto still = std::chrono::steady_clock::now(); std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const size_t now = BoardReads().size();
            if (now != held) {
                held = now;
                still = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - still > std::chrono::milliseconds(200)) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        afterPause = BoardReads().size();
        BoardSends("\x11");
        readUntil(stream.size());
        boardDone = true;
    });
    port.Open();
    port.WriteBuffer(&stream[0], 1);
    const bool done = PumpUntil([&] { return boardDone.load(); }, 12000ms);
    board.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(afterPause, held);  // nothing more while stopped
    EXPECT_LT(held, stream.size());
    EXPECT_EQ(BoardReads(), stream);
    EXPECT_EQ(counts, std::vector<int>(stream.size() - 1, 1));
    port.Close();
}

TEST_F(PtyTest, MissingDeviceAndSecondOpen) {
    TComPort port(api);
    port.SetPort("COM6");
    try {
        port.Open();
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code, 1);
        EXPECT_EQ(e.WinCode, 2);
    }
    port.SetPort("COM5");
    port.Open();
    TComPort second(api);
    second.SetPort("COM5");
    try {
        second.Open();
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code, 1);
        EXPECT_EQ(e.WinCode, 5);
    }
    std::vector<std::string> list;
    ListComPorts(list, api);
    EXPECT_THAT(list, ElementsAre("COM5"));
}

}  // namespace
