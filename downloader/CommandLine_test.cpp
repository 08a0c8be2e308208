// The command line's words: the port number's choice and the conversion
// error of a missing or non-numeric word.
#include "downloader/CommandLine.h"

#include <gtest/gtest.h>

#include "common/Framework.h"

using namespace Tolvex;

TEST(DownloaderCommandLine, PortNumbersOneAndThreeAreTheirOwnEveryOtherIsCom2) {
    struct Row {
        int number;
        const char* port;
    };
    for (Row row : {Row{1, "COM1"}, Row{2, "COM2"}, Row{3, "COM3"}, Row{0, "COM2"}, Row{4, "COM2"}, Row{-1, "COM2"},
                    Row{16, "COM2"}})
        EXPECT_EQ(DownloaderPortName(row.number), row.port) << row.number;
}

TEST(DownloaderCommandLine, MissingParametersReadAsEmpty) {
    const TParameters parameters{"TEMP$$.S19", "1"};
    EXPECT_EQ(ParamStr(parameters, 1), "TEMP$$.S19");
    EXPECT_EQ(ParamStr(parameters, 2), "1");
    EXPECT_EQ(ParamStr(parameters, 3), "");
    EXPECT_EQ(ParamStr(parameters, 0), "");
}

TEST(DownloaderCommandLine, WordsConvertAsDecimalOrFailWithTheConversionError) {
    struct Good {
        const char* text;
        int value;
    };
    for (Good row :
         {Good{"512", 512}, Good{"0", 0}, Good{" 3", 3}, Good{"-1", -1}, Good{"10004", 10004}, Good{"$200", 512}})
        EXPECT_EQ(StrToInt(row.text), row.value) << row.text;
    for (const char* bad : {"", "x", "5l2", "512 ", "1.5", "99999999999"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "no error for '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}
