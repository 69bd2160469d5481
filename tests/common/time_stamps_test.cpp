#include "common/time_stamps.h"

#include "common/file.h"
#include "common/system_info.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

// Monday 7 December 2026, 09:05:03.042.
constexpr CalendarTime kMonday{2026, 12, 1, 7, 9, 5, 3, 42};

CalendarTime NowLocal() {
    CalendarTime now;
    EXPECT_TRUE(FileTimeToLocalCalendar(CurrentFileTime(), now));
    return now;
}

// True when text is a "dd/mm/yyyy" date.
bool IsDayMonthYear(const std::string& text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
    for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

TEST(TimeStampsTest, DayNamesStartOnSundayAndUnknownIndexesGiveInc) {
    const struct {
        unsigned index;
        const char* name;
    } cases[] = {{0, "Dim"}, {1, "Lun"}, {2, "Mar"}, {3, "Mer"}, {4, "Jeu"},
                 {5, "Ven"}, {6, "Sam"}, {7, "Inc"}, {8, "Inc"}, {65535, "Inc"}};
    for (const auto& c : cases) EXPECT_STREQ(DayNameText(c.index), c.name) << c.index;
}

TEST(TimeStampsTest, TimeStampsOfFixedTimes) {
    const struct {
        CalendarTime time;
        bool withMilliseconds;
        const char* text;
    } cases[] = {
        {kMonday, false, "Lun 07/12/2026 09:05:03"},
        {kMonday, true, "Lun 07/12/2026 09:05:03.042"},
        {{2027, 1, 0, 31, 23, 59, 59, 999}, true, "Dim 31/01/2027 23:59:59.999"},
        {{2026, 6, 6, 1, 0, 0, 0, 0}, false, "Sam 01/06/2026 00:00:00"},
        {{2026, 6, 6, 1, 0, 0, 0, 7}, true, "Sam 01/06/2026 00:00:00.007"},
        {{999, 2, 9, 3, 4, 5, 6, 0}, false, "Inc 03/02/0999 04:05:06"},
        {{}, true, "Dim 00/00/0000 00:00:00.000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimeStamp(c.time, c.withMilliseconds), c.text);
        EXPECT_EQ(GetTimeStampText(&c.time, c.withMilliseconds), c.text);
    }
}

TEST(TimeStampsTest, DateTextsOfFixedTimes) {
    EXPECT_EQ(FormatDateText(kMonday, true), "2026-12-07");
    EXPECT_EQ(FormatDateText(kMonday, false), "20261207");
    const CalendarTime early{987, 1, 0, 2, 0, 0, 0, 0};
    EXPECT_EQ(FormatDateText(early, true), "0987-01-02");
    EXPECT_EQ(FormatDateText(early, false), "09870102");
}

// The clock may tick between two readings: the text must match the local time
// read just before or just after it.
TEST(TimeStampsTest, CurrentTextsFollowTheLocalClock) {
    for (bool withMilliseconds : {false, true}) {
        const CalendarTime before = NowLocal();
        const std::string stamp = GetTimeStampText(nullptr, withMilliseconds);
        const CalendarTime after = NowLocal();
        if (withMilliseconds) {
            // Milliseconds move too fast to compare; compare the rest.
            ASSERT_EQ(stamp.size(), 27u) << stamp;
            EXPECT_EQ(stamp[23], '.');
            const std::string seconds = stamp.substr(0, 23);
            EXPECT_TRUE(seconds == FormatTimeStamp(before, false) || seconds == FormatTimeStamp(after, false)) << stamp;
        } else {
            EXPECT_TRUE(stamp == FormatTimeStamp(before, false) || stamp == FormatTimeStamp(after, false)) << stamp;
        }
    }
    for (bool dashed : {false, true}) {
        const CalendarTime before = NowLocal();
        const std::string date = GetDateText(dashed);
        const CalendarTime after = NowLocal();
        EXPECT_TRUE(date == FormatDateText(before, dashed) || date == FormatDateText(after, dashed)) << date;
    }
}

TEST(TimeStampsTest, FileDatesAreLastWriteDatesInLocalTime) {
    TempDir dir;
    const std::string path = dir.WriteFile("dated.txt", "x");
    // Noon keeps the local date whatever the time zone's offset.
    const CalendarTime noon{2026, 12, 1, 7, 12, 0, 0, 0};
    FileTime lastWrite;
    ASSERT_TRUE(LocalCalendarToFileTime(noon, lastWrite));
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, FileAccess::Write, FileCreation::OpenExisting, FileShare::DenyNone));
        ASSERT_TRUE(file.SetFileTimes(nullptr, nullptr, &lastWrite));
    }
    EXPECT_EQ(GetFileDateText(path), "07/12/2026");
    EXPECT_EQ(GetFileDateText(dir / "missing.txt"), "!FindFirstFile");
}

TEST(TimeStampsTest, ModuleDateIsTheDateOfTheRunningProgram) {
    const std::string text = GetModuleDateText();
    EXPECT_TRUE(IsDayMonthYear(text)) << text;
    EXPECT_EQ(text, GetFileDateText(GetModulePath()));
}

} // namespace
