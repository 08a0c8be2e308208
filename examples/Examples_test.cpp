#include <gtest/gtest.h>

#include <map>

#include "common/ListingLine.h"
#include "common/SRecord.h"
#include "tools/as11m/TestSupport.h"

namespace {

using as11m::test::RunProgram;
using testsupport::FileBytes;
using testsupport::TTempFolder;

std::vector<std::filesystem::path> Examples() {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(EXAMPLES_DIR))
        if (entry.path().extension() == ".asm") paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool IsUpperHex(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// address -> byte, from the listing's columns 6-9 and 11-24.
std::map<unsigned, std::string> ListedMemory(const std::vector<std::string>& listing) {
    std::map<unsigned, std::string> memory;
    for (const std::string& line : listing) {
        const std::string_view field = ListingAddressField(std::string_view(line));
        if (!IsUpperHex(std::string(field)) || !ListingAddressValue(std::string_view(line))) continue;
        unsigned address = *ListingAddressValue(std::string_view(line));
        std::string bytes = line.size() > 10 ? line.substr(10, 14) : "";
        for (size_t i = 0; i + 1 < bytes.size() && bytes[i] != ' '; i += 3) memory[address++] = bytes.substr(i, 2);
    }
    return memory;
}

// address -> byte from the S1 records, checking each record's form.
std::map<unsigned, std::string> ObjectMemory(const std::vector<std::string>& records) {
    std::map<unsigned, std::string> memory;
    EXPECT_FALSE(records.empty());
    if (records.empty()) return memory;
    EXPECT_EQ(records.back(), "S9030000FC");
    for (size_t r = 0; r + 1 < records.size(); ++r) {
        const TSRecordLine record = LexSRecordLine(records[r]);
        EXPECT_EQ(record.Mark, 'S') << records[r];
        EXPECT_EQ(record.Type, '1') << records[r];
        EXPECT_TRUE(record.Whole) << records[r];
        EXPECT_TRUE(IsUpperHex(records[r].substr(2))) << records[r];
        EXPECT_GE(record.Count, 4) << records[r];
        EXPECT_LE(record.Count, 19) << records[r];
        EXPECT_EQ(records[r].size(), 4 + 2 * static_cast<size_t>(record.Count)) << records[r];
        unsigned address = record.Address;
        for (size_t i = 0; i < record.DataText.size(); i += 2)
            memory[address++] = std::string(record.DataText.substr(i, 2));
    }
    return memory;
}

TEST(Examples, AssembleCleanlyWithAgreeingListingAndObject) {
    std::vector<std::filesystem::path> examples = Examples();
    EXPECT_GE(examples.size(), 7u);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(EXAMPLES_DIR) / "utripanje.asm"));
    for (const std::filesystem::path& example : examples) {
        for (const std::vector<std::string>& options :
             {std::vector<std::string>{"-l"}, std::vector<std::string>{"-l", "s", "c"}}) {
            SCOPED_TRACE(example.filename().string() + " " + std::to_string(options.size()));
            TTempFolder dir;
            std::filesystem::copy_file(example, dir / "TEMP$$.ASM");
            std::vector<std::string> args = {"TEMP$$.ASM"};
            args.insert(args.end(), options.begin(), options.end());
            as11m::test::ProcessResult result = RunProgram(AS11M_PATH, args, dir.Path());
            EXPECT_EQ(result.ExitCode, 0) << result.Output;

            std::vector<std::string> listing = Lines(FileBytes(dir / "TEMP$$.LST"));
            size_t sourceLines = Lines(FileBytes(example)).size();
            int previousKey = 0;
            for (const std::string& line : listing) {
                EXPECT_FALSE(IsListingErrorLine(line)) << line;
                if (line.empty() || line == "Symbol table") break;
                int key = std::stoi(std::string(ListingKeyField(std::string_view(line))));
                // Keys go up by one per source line; a repeated key is a
                // continuation of data, which carries no source text.
                EXPECT_TRUE(key == previousKey + 1 || (key == previousKey && line.size() <= 24)) << line;
                previousKey = key;
            }
            EXPECT_EQ(previousKey, static_cast<int>(sourceLines));
            EXPECT_EQ(ListedMemory(listing), ObjectMemory(Lines(FileBytes(dir / "TEMP$$.S19"))));
        }
    }
}

}  // namespace
