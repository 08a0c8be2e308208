// Text converters in both directions and the port-name rule.
#include "comport/SerialPort.h"

#include <gtest/gtest.h>

namespace {

TEST(PortNameTest, EveryTextBecomesCom1ToCom16) {
    const std::pair<const char*, const char*> rows[] = {
        {"com2", "COM2"},   {"COM2", "COM2"}, {"2", "COM2"},     {"$2", "COM2"},    {"cOm$A", "COM10"},
        {"COM16", "COM16"}, {"COM0", "COM1"}, {"COM17", "COM1"}, {"LPT1", "COM1"},  {"COMX", "COM1"},
        {"", "COM1"},       {"COM", "COM1"},  {"COM-3", "COM1"}, {"COM 3", "COM3"}, {"COM3 ", "COM1"},
    };
    for (auto [text, name] : rows) EXPECT_EQ(NormalizePortName(text), name) << '"' << text << '"';
}

TEST(ConvertersTest, EnumerationTextsRoundTripAndFallBack) {
    for (int v = brCustom; v <= br256000; ++v) EXPECT_EQ(TextToBaudRate(BaudRateToText(static_cast<TBaudRate>(v))), v);
    for (int v = sbOneStopBit; v <= sbTwoStopBits; ++v)
        EXPECT_EQ(TextToStopBits(StopBitsToText(static_cast<TStopBits>(v))), v);
    for (int v = dbFive; v <= dbEight; ++v) EXPECT_EQ(TextToDataBits(DataBitsToText(static_cast<TDataBits>(v))), v);
    for (int v = prNone; v <= prSpace; ++v) EXPECT_EQ(TextToParity(ParityToText(static_cast<TParityBits>(v))), v);
    for (int v = fcHardware; v <= fcCustom; ++v)
        EXPECT_EQ(TextToFlowControl(FlowControlToText(static_cast<TFlowControl>(v))), v);
    for (int v = dtrDisable; v <= dtrHandshake; ++v)
        EXPECT_EQ(TextToDTRControl(DTRControlToText(static_cast<TDTRFlowControl>(v))), v);
    for (int v = rtsDisable; v <= rtsToggle; ++v)
        EXPECT_EQ(TextToRTSControl(RTSControlToText(static_cast<TRTSFlowControl>(v))), v);

    EXPECT_EQ(BaudRateToText(br14400), "14400");
    EXPECT_EQ(StopBitsToText(sbOne5StopBits), "1.5");
    EXPECT_EQ(RTSControlToText(rtsToggle), "Toggle");
    EXPECT_EQ(TextToBaudRate("9600"), br9600);
    EXPECT_EQ(TextToBaudRate("custom"), brCustom);
    EXPECT_EQ(TextToBaudRate("9601"), br9600);
    EXPECT_EQ(TextToBaudRate(" 300"), br9600);  // blanks are not trimmed
    EXPECT_EQ(TextToParity("eVEN"), prEven);
    EXPECT_EQ(TextToParity("Odd "), prNone);
    EXPECT_EQ(TextToFlowControl("xon"), fcCustom);
    EXPECT_EQ(TextToStopBits("1,5"), sbOneStopBit);
    EXPECT_EQ(TextToDataBits("9"), dbEight);
    EXPECT_EQ(TextToDTRControl("HANDSHAKE"), dtrHandshake);
    EXPECT_EQ(TextToRTSControl("?"), rtsDisable);
    // Only a..z are upper-cased: a non-ASCII letter never matches.
    EXPECT_EQ(TextToParity("N\xC3\xB6ne"), prNone);
    EXPECT_EQ(TextToFlowControl("Hardw\xC3\xA4re"), fcCustom);
}

TEST(ConvertersTest, Booleans) {
    EXPECT_EQ(BooleanToText(true), "Yes");
    EXPECT_EQ(BooleanToText(false), "No");
    for (const char* yes : {"yes", "YES", "Yes"}) EXPECT_TRUE(TextToBoolean(yes)) << yes;
    for (const char* no : {"Y", "True", "1", "No", "", "yes "}) EXPECT_FALSE(TextToBoolean(no)) << no;
}

TEST(ConvertersTest, CharactersBothWays) {
    const std::pair<int, const char*> toText[] = {{0, "#0"},  {17, "#17"},   {32, "#32"},   {33, "!"},
                                                  {'A', "A"}, {127, "\x7F"}, {128, "#128"}, {255, "#255"}};
    for (auto [code, text] : toText) EXPECT_EQ(CharToText(static_cast<char>(code)), text) << code;
    const std::pair<const char*, int> toChar[] = {{"#19", 19}, {"#", '#'}, {"#x", 0},      {"#300", 44}, {"AB", 'A'},
                                                  {"", 0},     {"##", 0},  {"#$41", 0x41}, {"#-1", 255}, {"# 7", 7}};
    for (auto [text, code] : toChar) EXPECT_EQ(static_cast<unsigned char>(TextToChar(text)), code) << text;
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(static_cast<unsigned char>(TextToChar(CharToText(static_cast<char>(code)))), code);
}

TEST(ConvertersTest, IntegersAsTheSystemReadsThem) {
    const std::pair<const char*, int> good[] = {{"0", 0},
                                                {"-12", -12},
                                                {"+7", 7},
                                                {"  42", 42},
                                                {"$ff", 255},
                                                {"-$10", -16},
                                                {"2147483647", 2147483647},
                                                {"$FFFFFFFF", -1}};
    for (auto [text, value] : good) {
        int v = 12345;
        EXPECT_TRUE(TryTextToInt(text, v)) << text;
        EXPECT_EQ(v, value) << text;
    }
    for (const char* bad : {"", "-", "$", "12a", "2147483648", "1 ", "0x10", "$1FFFFFFFF"}) {
        int v = 0;
        EXPECT_FALSE(TryTextToInt(bad, v)) << bad;
    }
}

}  // namespace
