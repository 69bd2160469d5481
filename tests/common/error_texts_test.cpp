#include "common/error_tables.h"
#include "common/error_texts.h"
#include "common/last_error.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// The code ranges the system table covers, as pairs of first and last code.
constexpr std::uint32_t kSystemRanges[][2] = {
    {0, 34},      {36, 36},     {38, 39},     {50, 72},     {80, 80},     {82, 89},     {100, 114},   {117, 162},
    {164, 164},   {167, 167},   {170, 170},   {173, 174},   {180, 180},   {182, 183},   {186, 203},   {205, 210},
    {212, 212},   {214, 215},   {230, 234},   {240, 240},   {254, 255},   {259, 259},   {266, 267},   {275, 278},
    {282, 282},   {288, 288},   {298, 299},   {317, 317},   {487, 487},   {534, 536},   {994, 999},   {1001, 1022},
    {1051, 1078}, {1100, 1132}, {1140, 1141}, {1150, 1157}, {1200, 1248}, {1300, 1338}, {1340, 1395}, {1400, 1456},
    {1500, 1503}, {1700, 1728}, {1730, 1730}, {1732, 1737}, {1739, 1775}, {1777, 1829}, {1898, 1909}, {2000, 2005},
    {2202, 2202}, {2250, 2250}, {2401, 2402}, {2404, 2404}, {3000, 3006}, {4000, 4006}, {6118, 6118}, {7025, 7025},
    {7044, 7045},
};

std::string WithCode(const char* sentence, int code) {
    return std::string(sentence) + " (" + std::to_string(code) + ")";
}

TEST(SystemErrorTable, HoldsExactlyTheListedCodesInOrderWithTexts) {
    std::set<std::uint32_t> expected;
    for (const auto& range : kSystemRanges)
        for (std::uint32_t code = range[0]; code <= range[1]; ++code) expected.insert(code);
    ASSERT_EQ(expected.size(), 661u);
    ASSERT_EQ(kSystemErrorTextCount, 661u);

    std::set<std::uint32_t> actual;
    for (std::size_t i = 0; i < kSystemErrorTextCount; ++i) {
        const ErrorTextEntry entry = SystemErrorTextEntry(i);
        if (i > 0) {
            EXPECT_LT(SystemErrorTextEntry(i - 1).code, entry.code) << "at index " << i;
        }
        EXPECT_GT(std::strlen(entry.text), 3u) << entry.code;
        EXPECT_EQ(FindSystemErrorText(entry.code), entry.text) << entry.code;
        // No sentence is cut by the result buffer.
        EXPECT_EQ(SystemErrorText(entry.code), WithCode(entry.text, static_cast<int>(entry.code)));
        actual.insert(entry.code);
    }
    EXPECT_EQ(actual, expected);
}

TEST(SystemErrorText, QuotesTheSentenceWithItsCode) {
    const struct {
        std::uint32_t code;
        const char* sentence;
    } rows[] = {
        {0, "No Error."},
        {2, "The system cannot find the file specified."},
        {3, "The system cannot find the path specified."},
        {5, "Access is denied."},
        {32, "The process cannot access the file because it is being used by another process."},
        {183, "Cannot create a file when that file already exists."},
        {317, "The system cannot find message for message number 0x%1 in message file for %2."},
        {1223, "The operation was cancelled by the user."},
        {6118, "The list of servers for this workgroup is not currently available"},
        {7025, "Unable to shadow session due to highest resolution on the remote client"},
        {7044, "The requested WinStation access is denied"},
        {7045, "The requested WinStation access is denied"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SystemErrorText(row.code), WithCode(row.sentence, static_cast<int>(row.code)));
}

TEST(SystemErrorText, UnknownCodesAreWrittenAsSignedNumbers) {
    EXPECT_STREQ(SystemErrorText(35), "Error 35");
    EXPECT_STREQ(SystemErrorText(7046), "Error 7046");
    EXPECT_STREQ(SystemErrorText(0x80070005u), "Error -2147024891");
    EXPECT_STREQ(SystemErrorText(0xFFFFFFFFu), "Error -1");
    // Codes above 16 bits are not confused with the table's codes 2 and 5.
    EXPECT_STREQ(SystemErrorText(0x10002u), "Error 65538");
    EXPECT_STREQ(SystemErrorText(0x70005u), "Error 458757");
}

TEST(SystemErrorText, LastErrorTextReadsTheThreadsLastError) {
    SetLastErrorCode(5);
    EXPECT_EQ(LastErrorText(), WithCode("Access is denied.", 5));
    SetLastErrorCode(0);
}

TEST(ShellExecuteErrorText, LooksUpOnlyValuesUpTo32) {
    EXPECT_STREQ(ShellExecuteErrorText(0), "The operating system is out of memory or resources.");
    EXPECT_STREQ(ShellExecuteErrorText(31), "There is no application associated with the given filename extension.");
    EXPECT_STREQ(ShellExecuteErrorText(32), "Windows 95 only: The specified dynamic-link library was not found.");
    // 1 is a gap, 33 and above mean success to the caller: neither has a sentence.
    EXPECT_STREQ(ShellExecuteErrorText(1), "ShellExecute error 1");
    EXPECT_STREQ(ShellExecuteErrorText(33), "ShellExecute error 33");
    EXPECT_STREQ(ShellExecuteErrorText(42), "ShellExecute error 42");
}

TEST(ServiceErrorText, PrefersServiceSentencesAndFallsBackToTheSystemTable) {
    EXPECT_STREQ(ServiceErrorText(5),
                 "The specified service control manager database handle does not have access to the service.");
    EXPECT_STREQ(ServiceErrorText(1060), "The specified service does not exist.");
    EXPECT_EQ(ServiceErrorText(2), WithCode("The system cannot find the file specified.", 2));
    EXPECT_STREQ(ServiceErrorText(35), "Error 35");
    SetLastErrorCode(1072);
    EXPECT_STREQ(LastServiceErrorText(), "The service has been marked for deletion.");
    SetLastErrorCode(0);
}

TEST(ServiceErrorText, KeepsItsOwnBufferApartFromTheSystemFamily) {
    const char* service = ServiceErrorText(2);
    const std::string copy = service;
    SystemErrorText(5);
    EXPECT_EQ(service, copy);
}

TEST(CommDlgErrorText, LooksUpTheDialogTable) {
    EXPECT_STREQ(CommDlgErrorText(0x3002), "A filename is invalid.");
    EXPECT_STREQ(CommDlgErrorText(0xFFFF),
                 "The common dialog box procedure's call to the DialogBox function failed. For example, this error "
                 "occurs if the common dialog box call specifies an invalid window handle.");
    EXPECT_STREQ(CommDlgErrorText(0x3004), "CommDlgError 12292");
    EXPECT_STREQ(CommDlgErrorText(0x000D), "CommDlgError 13");
    // No dialog ran on this thread, so there is no extended error.
    EXPECT_STREQ(LastCommDlgErrorText(), CommDlgErrorText(0));
}

TEST(FormatSystemMessage, ShapesTheSystemsMessageWithoutLineBreak) {
    for (std::uint32_t code : {2u, 5u, 32u, 112u, 317u, 1223u}) {
        const std::string text = FormatSystemMessage(code);
        const std::string suffix = " [" + std::to_string(code) + "]";
        ASSERT_GT(text.size(), suffix.size()) << code;
        EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix) << text;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    }
    EXPECT_EQ(FormatSystemMessage(0x2000FFFFu), "[Unknown error code:536936447]");
    SetLastErrorCode(0x2000FFFFu);
    EXPECT_EQ(FormatLastSystemMessage(), "[Unknown error code:536936447]");
    SetLastErrorCode(0);
}

} // namespace
