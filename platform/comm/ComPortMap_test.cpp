#include "platform/comm/ComPortMap.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TestSupport.h"

using namespace comm;

TEST(ComPortMap, PortNumbers) {
    struct Case {
        const char* name;
        int number;
    };
    const Case cases[] = {
        {"COM1", 1},  {"\\\\.\\COM10", 10}, {"com16", 16}, {"COM17", 0}, {"COM0", 0},
        {"COM01", 0}, {"LPT1", 0},          {"COM", 0},    {"COM1:", 0}, {"\\\\.\\COMX", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DevicePortNumber(c.name), c.number) << c.name;
}

TEST(ComPortMap, ParsesTheEnvironmentText) {
    ComPortMap map;
    std::string error;
    ASSERT_TRUE(ParseComPortMap(" COM1=/dev/ttyUSB0; com3 = /dev/pts/4,COM16=/dev/x;", &map, &error));
    EXPECT_EQ(map, (ComPortMap{{1, "/dev/ttyUSB0"}, {3, "/dev/pts/4"}, {16, "/dev/x"}}));
    EXPECT_EQ(FormatComPortMap(map), "COM1=/dev/ttyUSB0;COM3=/dev/pts/4;COM16=/dev/x");
    ASSERT_TRUE(ParseComPortMap("", &map, &error));
    EXPECT_TRUE(map.empty()) << "an empty map names no port";

    struct Bad {
        const char* text;
        const char* error;
    };
    const Bad bad[] = {
        {"COM1=dev/ttyS0", "bad entry \"COM1=dev/ttyS0\" (expected COMn=/path with n from 1 to 16)"},
        {"COM17=/dev/x", "bad entry \"COM17=/dev/x\" (expected COMn=/path with n from 1 to 16)"},
        {"/dev/ttyS0", "bad entry \"/dev/ttyS0\" (expected COMn=/path with n from 1 to 16)"},
        {"COM2=", "bad entry \"COM2=\" (expected COMn=/path with n from 1 to 16)"},
        {"COM2=/a;COM2=/b", "COM2 is named twice"},
    };
    for (const Bad& b : bad) {
        map = {{9, "/kept"}};
        EXPECT_FALSE(ParseComPortMap(b.text, &map, &error)) << b.text;
        EXPECT_EQ(error, b.error);
        EXPECT_EQ(map, (ComPortMap{{9, "/kept"}})) << "a failed parse leaves the map alone";
    }
}

TEST(ComPortMap, AutomaticMapNumbersRealDevicesFromCom1) {
    namespace fs = std::filesystem;
    const testsupport::TTempFolder temp("commap");
    const fs::path& root = temp.Path();
    fs::create_directories(root / "dev");
    for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB1", "ttyUSB0", "ttyACM0", "ttyAMA0",
                             "ttyprintk", "tty1", "ttySx", "ttyUSB"})
        testsupport::WriteFileBytes(root / "dev" / name, "");
    // ttyS0 and ttyS2 have no UART behind them; ttyS1 and ttyS10 have.
    for (auto [name, type] : {std::pair{"ttyS0", "0"}, {"ttyS1", "4"}, {"ttyS10", "4"}, {"ttyS2", "0"}}) {
        fs::create_directories(root / "sys/class/tty" / name);
        testsupport::WriteFileBytes(root / "sys/class/tty" / name / "type", std::string(type) + "\n");
    }
    EXPECT_EQ(AutomaticComPortMap(root.string()), (ComPortMap{{1, (root / "dev/ttyS1").string()},
                                                              {2, (root / "dev/ttyS10").string()},
                                                              {3, (root / "dev/ttyUSB0").string()},
                                                              {4, (root / "dev/ttyUSB1").string()},
                                                              {5, (root / "dev/ttyACM0").string()},
                                                              {6, (root / "dev/ttyAMA0").string()}}));

    fs::remove_all(root / "dev");
    fs::create_directories(root / "dev");
    testsupport::WriteFileBytes(root / "dev" / "ttyUSB3", "");
    EXPECT_EQ(AutomaticComPortMap(root.string()), (ComPortMap{{1, (root / "dev/ttyUSB3").string()}}))
        << "a lone adapter is COM1, within the downloader's reach";
    for (int i = 0; i < 20; ++i) testsupport::WriteFileBytes(root / "dev" / ("ttyACM" + std::to_string(i)), "");
    EXPECT_EQ(AutomaticComPortMap(root.string()).size(), 16u);
}
