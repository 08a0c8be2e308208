// The signal lamp: its property rules, following a line through its link on
// the fake device and on a pseudo-terminal, the ring, the port going away,
// and what it paints.
#include "downloader/SerialLamp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

#include <set>

#include "comport/ComPortTestSupport.h"
#include "platform/comm/FakeCommApi.h"
#include "platform/comm/PosixCommApi.h"
#include "platform/comm/PtyBoard.h"

using namespace comm;
using namespace Tolvex;
using ::testing::ElementsAre;

namespace {

const TLedKind kPaintedKinds[] = {lkRedLight, lkGreenLight, lkBlueLight, lkYellowLight, lkPurpleLight, lkBulb};

class ComLedTest : public ::testing::Test {
protected:
    ComLedTest() {
        api.AddPort("COM1");
        port.SetPort("COM1");
        port.SetEvents({evDSR, evCTS, evRLSD, evRing, evTxEmpty, evRxChar});
        lamp.OnChange = [this](TComLed*, TLedState s) { changes.push_back(s); };
    }

    // The port outlives the lamp here, as on the downloader's window.
    FakeCommApi api;
    TComPort port{api};
    TComLed lamp;
    std::vector<TLedState> changes;
};

// ------------------------------------------------------------- properties

TEST_F(ComLedTest, StartsAsARedLampOnCtsOffWithoutPort) {
    TComLed fresh;
    EXPECT_EQ(fresh.size(), QSize(25, 25));
    EXPECT_EQ(fresh.Kind(), lkRedLight);
    EXPECT_EQ(fresh.LedSignal(), lsCTS);
    EXPECT_EQ(fresh.State(), lsOff);
    EXPECT_EQ(fresh.ComPort(), nullptr);
    EXPECT_EQ(fresh.RingDuration(), 1000);
    EXPECT_FALSE(fresh.RingTimerActive());
    EXPECT_TRUE(fresh.GlyphOn().isNull()) << "glyphs wait for the first paint";
}

TEST_F(ComLedTest, WithoutPortTheProgramSwitchesItAndEverySetTellsOnChange) {
    lamp.SetState(lsOn);
    lamp.SetState(lsOn);
    lamp.SetState(lsOff);
    EXPECT_THAT(changes, ElementsAre(lsOn, lsOn, lsOff));
    EXPECT_EQ(lamp.State(), lsOff);

    lamp.BeginLoad();
    lamp.SetState(lsOn);
    lamp.EndLoad();
    EXPECT_EQ(lamp.State(), lsOn);
    EXPECT_EQ(changes.size(), 3u) << "no OnChange while loading";
}

TEST_F(ComLedTest, WithAPortTheStateCannotBeSet) {
    lamp.SetComPort(&port);
    for (TLedState s : {lsOn, lsOff}) {
        try {
            lamp.SetState(s);
            FAIL() << "no error";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.Code, 19);
            EXPECT_STREQ(e.what(), "Cannot change led state if ComPort is selected");
        }
    }
    EXPECT_EQ(lamp.State(), lsOff);
    EXPECT_TRUE(changes.empty());
}

TEST_F(ComLedTest, AssigningAPortRegistersOneLinkAndReadsTheLineOnlyWhenOpen) {
    api.SetModemStatus("COM1", MS_DSR_ON);
    lamp.SetLedSignal(lsDSR);
    lamp.SetState(lsOn);
    changes.clear();

    lamp.SetComPort(&port);  // closed: the state stays
    EXPECT_EQ(port.LinkCount(), 1);
    EXPECT_EQ(lamp.State(), lsOn);
    EXPECT_TRUE(changes.empty());
    lamp.SetComPort(&port);  // the same port again: nothing, no second link
    EXPECT_EQ(port.LinkCount(), 1);

    lamp.SetComPort(nullptr);
    EXPECT_EQ(port.LinkCount(), 0);
    EXPECT_EQ(lamp.State(), lsOff);
    EXPECT_THAT(changes, ElementsAre(lsOff));

    port.Open();
    changes.clear();
    lamp.SetComPort(&port);  // open: the line is shown at once
    EXPECT_EQ(lamp.State(), lsOn);
    EXPECT_THAT(changes, ElementsAre(lsOn));

    lamp.BeginLoad();  // the form reader binds without reading the line
    lamp.SetComPort(nullptr);
    lamp.SetComPort(&port);
    lamp.EndLoad();
    EXPECT_EQ(lamp.State(), lsOff);
    port.Close();
}

TEST_F(ComLedTest, CurrentSignalStateReadsTheFollowedLineOnly) {
    port.SetEvents({});  // no event thread: every status read is the lamp's
    port.Open();
    lamp.SetComPort(&port);
    struct Row {
        TComLedSignal signal;
        DWORD lines;
        bool expected;
    };
    const Row rows[] = {
        {lsCTS, MS_CTS_ON, true},   {lsCTS, MS_DSR_ON | MS_RLSD_ON, false},
        {lsDSR, MS_DSR_ON, true},   {lsDSR, MS_CTS_ON | MS_RLSD_ON, false},
        {lsRLSD, MS_RLSD_ON, true}, {lsRLSD, MS_CTS_ON | MS_DSR_ON, false},
        {lsRing, 0xF0, false},      {lsRx, 0xF0, false},
        {lsTx, 0xF0, false},
    };
    for (const Row& row : rows) {
        api.SetModemStatus("COM1", row.lines);
        lamp.SetLedSignal(row.signal);
        api.ClearCalls();
        EXPECT_EQ(lamp.CurrentSignalState(), row.expected) << int(row.signal) << " " << row.lines;
        const bool reads = row.signal == lsCTS || row.signal == lsDSR || row.signal == lsRLSD;
        EXPECT_EQ(api.CallCount("GetCommModemStatus"), reads ? 1 : 0) << int(row.signal);
    }
    lamp.SetLedSignal(lsDSR);
    api.FailCall("GetCommModemStatus", ERROR_GEN_FAILURE);
    try {
        lamp.CurrentSignalState();
        FAIL() << "no error";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code, 11);
    }
    port.Close();
}

// ------------------------------------------------------------- following

TEST_F(ComLedTest, FollowsDsrThroughItsLinkOnTheFake) {
    lamp.SetLedSignal(lsDSR);
    lamp.SetComPort(&port);
    api.SetModemStatus("COM1", MS_DSR_ON);
    port.Open();  // the port's first signal refresh lights it
    EXPECT_EQ(lamp.State(), lsOn);

    api.SetModemStatus("COM1", 0);
    ASSERT_TRUE(PumpUntil([&] { return lamp.State() == lsOff; }));
    api.SetModemStatus("COM1", MS_CTS_ON);  // another line: no change
    api.SetModemStatus("COM1", MS_CTS_ON | MS_DSR_ON);
    ASSERT_TRUE(PumpUntil([&] { return lamp.State() == lsOn; }));
    port.Close();  // a closing port switches every link off
    EXPECT_EQ(lamp.State(), lsOff);
    EXPECT_THAT(changes, ElementsAre(lsOn, lsOff, lsOn, lsOff));
}

TEST_F(ComLedTest, ChangingTheSignalKeepsTheStateUntilTheNextNotification) {
    lamp.SetLedSignal(lsDSR);
    lamp.SetComPort(&port);
    api.SetModemStatus("COM1", MS_DSR_ON);
    port.Open();
    ASSERT_EQ(lamp.State(), lsOn);

    lamp.SetLedSignal(lsRing);
    api.SetModemStatus("COM1", 0);                                    // DSR goes: not followed any more
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));  // its event handled
    EXPECT_EQ(lamp.State(), lsOn) << "lit until the next ring ends";

    lamp.SetRingDuration(1);
    api.SetModemStatus("COM1", MS_RING_ON);
    api.SetModemStatus("COM1", 0);  // the ring ends: EV_RING
    ASSERT_TRUE(PumpUntil([&] { return !changes.empty() && lamp.State() == lsOff; }));
    EXPECT_FALSE(lamp.RingTimerActive());
    port.Close();
}

TEST_F(ComLedTest, ARingLightsItForRingDurationAndASecondRingDoesNotLengthenIt) {
    lamp.SetLedSignal(lsRing);
    lamp.SetComPort(&port);
    lamp.SetRingDuration(60000);
    port.Open();
    changes.clear();

    api.RaiseEvents("COM1", EV_RING);
    ASSERT_TRUE(PumpUntil([&] { return lamp.State() == lsOn; }));
    EXPECT_TRUE(lamp.RingTimerActive());
    // The event thread waits again, so the second ring is an event of its own.
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
    api.RaiseEvents("COM1", EV_RING);
    ASSERT_TRUE(PumpUntil([&] { return changes.size() == 2; }));
    EXPECT_THAT(changes, ElementsAre(lsOn, lsOn));
    EXPECT_TRUE(lamp.RingTimerActive());

    lamp.SetRingDuration(5);  // a running ring restarts with the new length
    EXPECT_EQ(lamp.RingDuration(), 5);
    ASSERT_TRUE(PumpUntil([&] { return lamp.State() == lsOff; }));
    EXPECT_FALSE(lamp.RingTimerActive());
    EXPECT_THAT(changes, ElementsAre(lsOn, lsOn, lsOff));
    port.Close();
}

TEST_F(ComLedTest, OnTxItLightsAtEveryWriteAndGoesOutWhenTheOutputIsEmpty) {
    api.SetTxEmptyAfterWrite("COM1", true);
    lamp.SetLedSignal(lsTx);
    lamp.SetComPort(&port);
    port.Open();
    changes.clear();
    // Each write lights it, each transmit-empty event puts it out.
    port.WriteBuffer("a", 1);
    ASSERT_TRUE(PumpUntil([&] { return lamp.State() == lsOff; }));
    port.WriteBuffer("b", 1);
    ASSERT_TRUE(PumpUntil([&] { return changes.size() == 4; }));
    EXPECT_THAT(changes, ElementsAre(lsOn, lsOff, lsOn, lsOff));
    port.Close();
}

TEST(ComLedPortTest, APortGoingAwaySwitchesTheLampOffAndLeavesItWithout) {
    FakeCommApi api;
    api.AddPort("COM1");
    api.SetModemStatus("COM1", MS_CTS_ON);
    TComLed lamp;
    std::vector<TLedState> changes;
    lamp.OnChange = [&](TComLed*, TLedState s) { changes.push_back(s); };
    {
        TComPort port(api);
        lamp.SetComPort(&port);
        port.Open();
        ASSERT_EQ(lamp.State(), lsOn);
    }
    EXPECT_EQ(lamp.ComPort(), nullptr);
    EXPECT_EQ(lamp.State(), lsOff);
    EXPECT_EQ(changes.back(), lsOff);
    lamp.SetState(lsOn);  // no port: the program switches it again
    EXPECT_EQ(lamp.State(), lsOn);
}

TEST(ComLedPortTest, ALampGoingAwayLeavesThePortWithoutItsLink) {
    FakeCommApi api;
    api.AddPort("COM1");
    TComPort port(api);
    TComPort other(api);
    {
        TComLed lamp;
        lamp.SetComPort(&other);
        lamp.SetComPort(&port);  // moving on leaves nothing behind on the first
        EXPECT_EQ(other.LinkCount(), 0);
        EXPECT_EQ(port.LinkCount(), 1);
    }
    EXPECT_EQ(port.LinkCount(), 0);
    port.Open();  // the link walk finds no lamp to call
    port.Close();
}

// ------------------------------------------------------------- pseudo-terminal

TEST(ComLedPtyTest, FollowsDsrOnAPseudoTerminalWhoseDsrAnswersDtr) {
    PtyBoard board;
    ASSERT_FALSE(board.SlavePath().empty());
    PosixCommApi api;
    api.SetPortMap(ComPortMap{{2, board.SlavePath()}});
    api.SetVirtualLines("loop");  // DSR follows our DTR, as a board does
    {
        TComPort port(api);
        port.SetPort("COM2");
        port.SetEvents({evDSR});
        TComLed lamp;
        lamp.SetLedSignal(lsDSR);
        lamp.SetComPort(&port);
        port.Open();
        EXPECT_EQ(lamp.State(), lsOff);
        port.SetDTR(true);
        EXPECT_TRUE(PumpUntil([&] { return lamp.State() == lsOn; }));
        port.SetDTR(false);
        EXPECT_TRUE(PumpUntil([&] { return lamp.State() == lsOff; }));
        port.SetDTR(true);
        EXPECT_TRUE(PumpUntil([&] { return lamp.State() == lsOn; }));
        port.Close();
        EXPECT_EQ(lamp.State(), lsOff);
    }
}

// ------------------------------------------------------------- glyphs

TEST(ComLedGlyphTest, TwelveDistinctFifteenPixelGlyphsOfSixteenColoursAtMost) {
    std::set<QByteArray> seen;
    for (TLedKind kind : kPaintedKinds) {
        const TGlyphNames names = GlyphNames(kind);
        for (const char* name : {names.On, names.Off}) {
            const QImage glyph = LoadGlyphResource(name);
            ASSERT_EQ(glyph.size(), QSize(15, 15)) << name;
            std::set<QRgb> colours;
            for (int y = 0; y < 15; ++y)
                for (int x = 0; x < 15; ++x) colours.insert(glyph.pixel(x, y));
            EXPECT_LE(colours.size(), 16u) << name;
            EXPECT_EQ(qAlpha(glyph.pixel(0, 14)), 0) << name << ": drawn transparently";
            EXPECT_EQ(qAlpha(glyph.pixel(7, 7)), 255) << name;
            seen.insert(
                QByteArray(reinterpret_cast<const char*>(glyph.constBits()), static_cast<int>(glyph.sizeInBytes())));
        }
    }
    EXPECT_EQ(seen.size(), 12u);
    EXPECT_STREQ(GlyphNames(lkBulb).Off, "LEDBULBOFF");
    EXPECT_STREQ(GlyphNames(lkCustom).On, "");
    try {
        LoadGlyphResource("LEDORANGEON");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Resource LEDORANGEON not found");
    }
}

TEST(ComLedGlyphTest, CustomGlyphsAreTakenOnlyForACustomLamp) {
    TComLed lamp;
    QImage source(15, 15, QImage::Format_RGB32);
    source.fill(qRgb(0, 128, 0));
    source.setPixel(7, 7, qRgb(255, 255, 0));
    const QImage original = source;

    lamp.SetGlyphOn(source);  // a red lamp ignores it
    EXPECT_TRUE(lamp.GlyphOn().isNull());
    EXPECT_EQ(source, original) << "the source is not touched either";

    lamp.SetKind(lkCustom);
    lamp.SetGlyphOn(source);
    EXPECT_EQ(qAlpha(source.pixel(0, 0)), 0) << "the source itself became transparent";
    EXPECT_EQ(source.pixel(7, 7), qRgb(255, 255, 0));
    EXPECT_EQ(lamp.GlyphOn(), source);
    source.setPixel(7, 7, qRgb(0, 0, 255));
    EXPECT_EQ(lamp.GlyphOn().pixel(7, 7), qRgb(255, 255, 0)) << "the lamp keeps its own copy";
    EXPECT_TRUE(lamp.GlyphOff().isNull());

    lamp.SetKind(lkBulb);  // a kind change loads its glyphs at once
    EXPECT_EQ(lamp.GlyphOn(), LoadGlyphResource("LEDBULBON"));
}

// What the lamp paints over a plain background.
QImage Painted(TComLed& lamp) {
    QImage image(lamp.size(), QImage::Format_ARGB32);
    image.fill(qRgb(10, 20, 30));
    lamp.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The glyph drawn at (x, y) over the same background.
QImage Expected(QSize size, const QImage& glyph, QPoint at) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(qRgb(10, 20, 30));
    QPainter painter(&image);
    painter.drawImage(at, glyph);
    return image;
}

TEST(ComLedPaintTest, EachKindPaintsItsGlyphCentredAndADisabledLampLooksOff) {
    for (TLedKind kind : kPaintedKinds) {
        const TGlyphNames names = GlyphNames(kind);
        const QImage on = LoadGlyphResource(names.On);
        const QImage off = LoadGlyphResource(names.Off);
        TComLed lamp;
        lamp.SetKind(kind);
        EXPECT_EQ(Painted(lamp), Expected({25, 25}, off, {5, 5})) << names.Off;
        lamp.SetState(lsOn);
        EXPECT_EQ(Painted(lamp), Expected({25, 25}, on, {5, 5})) << names.On;
        lamp.setEnabled(false);
        EXPECT_EQ(Painted(lamp), Expected({25, 25}, off, {5, 5})) << names.On << " disabled";
    }
}

TEST(ComLedPaintTest, LargerLampsCentreTheGlyphAndSmallerOnesDrawItFromTheCorner) {
    const QImage off = LoadGlyphResource("LEDREDOFF");
    struct Row {
        QSize size;
        QPoint at;
    };
    for (Row row : {Row{{40, 16}, {12, 0}}, Row{{16, 40}, {0, 12}}, Row{{10, 10}, {0, 0}}, Row{{15, 15}, {0, 0}}}) {
        TComLed lamp;
        lamp.resize(row.size);
        EXPECT_EQ(Painted(lamp), Expected(row.size, off, row.at)) << row.size.width() << "x" << row.size.height();
    }
}

TEST(ComLedPaintTest, TheFirstPaintLoadsTheGlyphsOfTheKind) {
    TComLed lamp;
    Painted(lamp);
    EXPECT_EQ(lamp.GlyphOn(), LoadGlyphResource("LEDREDON"));
    EXPECT_EQ(lamp.GlyphOff(), LoadGlyphResource("LEDREDOFF"));
}

}  // namespace
