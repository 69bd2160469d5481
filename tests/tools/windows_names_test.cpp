#include "tools/zorpack/windows_names.h"

#include <gtest/gtest.h>

using namespace zorpack;

namespace {

TEST(WindowsNames, Accepted) {
    for (const char* name : {"App.exe", "readme", ".profile", "a b.txt", "CONSOLE.txt", "COM10", "nul_device", "x.con",
                             "Ünïcödé.txt", "[1] (2) {3} #4 $5 %6.txt"})
        EXPECT_EQ(WindowsFileNameProblem(name), "") << name;
    EXPECT_EQ(WindowsFileNameProblem(std::string(259, 'a')), "");
}

TEST(WindowsNames, Refused) {
    struct Case {
        std::string name;
        const char* problem;
    };
    const Case cases[] = {
        {"", "is empty"},
        {std::string(260, 'a'), "is longer than 259 characters"},
        {"a:b", "contains ':'"},
        {"a\\b", "contains '\\'"},
        {"a/b", "contains '/'"},
        {"what?", "contains '?'"},
        {"star*", "contains '*'"},
        {"<tag>", "contains '<'"},
        {"pipe|", "contains '|'"},
        {"say\"hi\"", "contains '\"'"},
        {"tab\there", "contains the control character 0x09"},
        {"dot.", "ends with a dot or a space"},
        {"space ", "ends with a dot or a space"},
        {"CON", "is a device name"},
        {"con.txt", "is a device name"},
        {"Nul.tar.gz", "is a device name"},
        {"lpt9", "is a device name"},
        {"COM1.log", "is a device name"},
        {"AUX", "is a device name"},
        {"prn.", "ends with a dot or a space"},
    };
    for (const Case& c : cases) EXPECT_EQ(WindowsFileNameProblem(c.name), c.problem) << c.name;
}

TEST(WindowsNames, Keys) {
    EXPECT_EQ(FileNameKey("ReadMe.TXT", false), FileNameKey("readme.txt", false));
    EXPECT_NE(FileNameKey("ReadMe.TXT", true), FileNameKey("readme.txt", true));
    EXPECT_NE(FileNameKey("a.txt", false), FileNameKey("b.txt", false));
    EXPECT_EQ(FileNameKey("a.txt", true), FileNameKey("a.txt", true));
}

} // namespace
