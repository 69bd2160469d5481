// The one rule set for entry names, applied by the builder and the extractor.
#include "archive/entry_name.h"

#include "common/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryNames, Accepted) {
    for (const char* name : {"App.exe", "readme", ".profile", "a b.txt", "CONSOLE.txt", "COM10", "nul_device", "x.con",
                             "\xC3\x9Cn\xC3\xAF"
                             "c\xC3\xB6"
                             "d\xC3\xA9.txt",
                             "\xE6\x97\xA5\xE6\x9C\xAC.txt", "[1] (2) {3} #4 $5 %6.txt", "emoji \xF0\x9F\x98\x80.txt"})
        EXPECT_EQ(EntryNameProblem(name), "") << name;
    EXPECT_EQ(EntryNameProblem(std::string(255, 'a')), "");
}

TEST(EntryNames, Refused) {
    struct Case {
        std::string name;
        const char* problem;
    };
    const Case cases[] = {
        {"", "is empty"},
        {".", "names a directory"},
        {"..", "names a directory"},
        {std::string(256, 'a'), "is longer than 255 bytes"},
        {"caf\xE9.txt", "is not valid UTF-8"},      // Latin-1, not UTF-8
        {"\xC0\xAF.txt", "is not valid UTF-8"},     // an overlong "/"
        {"\xED\xA0\x80.txt", "is not valid UTF-8"}, // a surrogate
        {"cut\xE6\x97", "is not valid UTF-8"},      // a sequence cut short
        {"\xF4\x90\x80\x80", "is not valid UTF-8"}, // above U+10FFFF
        {"a:b", "contains ':'"},
        {"a\\b", "contains '\\'"},
        {"a/b", "contains '/'"},
        {"what?", "contains '?'"},
        {"star*", "contains '*'"},
        {"<tag>", "contains '<'"},
        {"pipe|", "contains '|'"},
        {"say\"hi\"", "contains '\"'"},
        {"tab\there", "contains the control character 0x09"},
        {"del\x7F", "contains the control character 0x7F"},
        {std::string("nul\0byte", 8), "contains the control character 0x00"},
        {"dot.", "ends with a dot or a space"},
        {"space ", "ends with a dot or a space"},
        {"CON", "is a device name"},
        {"con.txt", "is a device name"},
        {"Nul.tar.gz", "is a device name"},
        {"lpt9", "is a device name"},
        {"COM1.log", "is a device name"},
        {"AUX", "is a device name"},
        {"aux .txt", "is a device name"},
        {"CONOUT$", "is a device name"},
        {"prn.", "ends with a dot or a space"},
    };
    for (const Case& c : cases) EXPECT_EQ(EntryNameProblem(c.name), c.problem) << c.name;
}

// Relative names: every component obeys the rules of one name, and nothing
// can reach outside the directory the name is extracted to.
TEST(EntryPaths, AcceptedWithFoldersAtAnyDepth) {
    for (const char* name : {"App.exe", "bin\\App.exe", "a\\b\\c\\d.txt", "caf\xC3\xA9\\\xE6\x97\xA5.txt", ".config\\x",
                             "COM10\\CONSOLE.txt"})
        EXPECT_EQ(EntryPathProblem(name), "") << name;
    // The limit counts the whole name, separators included.
    EXPECT_EQ(EntryPathProblem(std::string(127, 'a') + "\\" + std::string(127, 'b')), "");
    EXPECT_EQ(EntryPathProblem(std::string(128, 'a') + "\\" + std::string(127, 'b')), "is longer than 255 bytes");
}

TEST(EntryPaths, RefusedComponents) {
    struct Case {
        std::string name;
        const char* problem;
    };
    const char* const empty = "has an empty component (a '\\' at its start or end, or two in a row)";
    const Case cases[] = {
        {"", "is empty"},
        {"..", "names a directory"},
        {"a:b", "contains ':'"}, // one component: the very words of EntryNameProblem
        {"..\\x", "has the component '..', which names a directory"},
        {"a\\..\\x", "has the component '..', which names a directory"},
        {"a\\.\\x", "has the component '.', which names a directory"},
        {"\\x", empty},
        {"\\\\server\\share\\x", empty},
        {"a\\\\b", empty},
        {"a\\", empty},
        {"C:\\x", "has the component 'C:', which contains ':'"},
        {"a/b\\c", "has the component 'a/b', which contains '/'"},
        {"con\\x", "has the component 'con', which is a device name"},
        {"x\\LPT1.txt", "has the component 'LPT1.txt', which is a device name"},
        {"a.\\x", "has the component 'a.', which ends with a dot or a space"},
        {"a\\x ", "has the component 'x ', which ends with a dot or a space"},
        {"a\\caf\xE9", "has the component 'caf\xE9', which is not valid UTF-8"},
        {"a\\b\tc", "has the component 'b\tc', which contains the control character 0x09"},
    };
    for (const Case& c : cases) EXPECT_EQ(EntryPathProblem(c.name), c.problem) << c.name;
}

TEST(EntryPaths, OnDiskTheSeparatorIsThePlatforms) {
#ifdef _WIN32
    EXPECT_EQ(NativeEntryPath("a\\b\\c.txt"), "a\\b\\c.txt");
#else
    EXPECT_EQ(NativeEntryPath("a\\b\\c.txt"), "a/b/c.txt");
#endif
    EXPECT_EQ(NativeEntryPath("plain.txt"), "plain.txt");
}

TEST(EntryNames, KeysIgnoreLetterCaseAsWindowsDoes) {
    EXPECT_EQ(EntryNameKey("ReadMe.TXT"), EntryNameKey("readme.txt"));
    EXPECT_NE(EntryNameKey("a.txt"), EntryNameKey("b.txt"));
    // Latin-1, Latin Extended-A, Greek and Cyrillic capitals.
    EXPECT_EQ(EntryNameKey("CAF\xC3\x89.TXT"), EntryNameKey("caf\xC3\xA9.txt"));
    EXPECT_EQ(EntryNameKey("\xC5\x81\xC3\x93\xC5\xBB"), EntryNameKey("\xC5\x82\xC3\xB3\xC5\xBC")); // ŁÓŻ / łóż
    EXPECT_EQ(EntryNameKey("\xCE\xA9\xCE\x91"), EntryNameKey("\xCF\x89\xCE\xB1"));                 // ΩΑ / ωα
    EXPECT_EQ(EntryNameKey("\xD0\x81\xD0\x96"), EntryNameKey("\xD1\x91\xD0\xB6"));                 // ЁЖ / ёж
    // Characters without case, and the multiplication sign, stay as they are.
    EXPECT_EQ(EntryNameKey("\xE6\x97\xA5\xE6\x9C\xAC"), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(EntryNameKey("\xC3\x97"), "\xC3\x97");
}

TEST(Utf8, FoldingKeepsWhatItCannotRead) {
    EXPECT_EQ(FoldCaseUtf8("AB\xFF"
                           "C"),
              "ab\xFF"
              "c");
    EXPECT_EQ(FoldCaseUtf8("X\xE6\x97"), "x\xE6\x97");
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8(std::string("\0", 1)));
}

} // namespace
