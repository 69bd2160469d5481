#include "log/date_format.h"

#include "fixed_log_clock.h"

#include <gtest/gtest.h>

namespace {

struct DateCase {
    const char* pattern;
    const char* expected;
};

void ExpectDates(const CalendarTime& time, std::initializer_list<DateCase> cases) {
    for (const DateCase& c : cases) EXPECT_EQ(formatDate(c.pattern, time), c.expected) << "pattern: " << c.pattern;
}

CalendarTime SampleWith(std::uint16_t CalendarTime::*field, std::uint16_t value) {
    CalendarTime time = kSampleTime;
    time.*field = value;
    return time;
}

TEST(DateFormatNamed, ThreeFormatsInAnyLetterCase) {
    ExpectDates(kSampleTime, {
                                 {"", "2010-05-09 07:36:04,123"},
                                 {"ISO8601", "2010-05-09 07:36:04,123"},
                                 {"iso8601", "2010-05-09 07:36:04,123"},
                                 {"YY_MM_dd_HH_mm_ss", "10-05-09 07:36:04"},
                                 {"yy_mm_DD_hh_MM_SS", "10-05-09 07:36:04"},
                                 {"ABSOLUTE", "07:36:04,123"},
                                 {"Absolute", "07:36:04,123"},
                             });
}

TEST(DateFormatNamed, ComparedWholeOtherwiseCustom) {
    // With a blank after it the name is a custom pattern: I, S (milliseconds),
    // O and the digits are fields or characters of their own.
    ExpectDates(kSampleTime, {{"ISO8601 ", "I123O8601 "}, {" ABSOLUTE", " AB123OLUTE"}});
}

TEST(DateFormatNamed, ZeroTimeAndWideValuesAreFilledNotCut) {
    ExpectDates(CalendarTime{},
                {{"ISO8601", "0000-00-00 00:00:00,000"}, {"YY_MM_dd_HH_mm_ss", "-2000-00-00 00:00:00"}});
    const CalendarTime wide{12345, 99, 0, 99, 99, 99, 99, 9999};
    ExpectDates(wide, {{"", "12345-99-99 99:99:99,9999"}, {"ABSOLUTE", "99:99:99,9999"}});
}

TEST(DateFormatCustom, FieldsRunsAndOtherCharacters) {
    ExpectDates(kSampleTime, {
                                 {"'.'yyyy-MM-dd", ".2010-05-09"},
                                 {"HH:mm:ss,SSS", "07:36:04,123"},
                                 {"yy--MM", "10-05"}, // a run of a non-letter is written once
                                 {"y", "10"},
                                 {"yyy", "2010"},
                                 {"yyyyyy", "002010"},
                                 {"M", "5"},
                                 {"d|dd|ddd", "9|09|009"},
                                 {"S|SS|SSSSS", "123|123|00123"}, // never cut
                                 {"H h m s", "7 7 36 4"},
                                 {"a|aaaa", "AM|AM"},
                                 {"xxx EEEE ZZ", "x E Z"},
                                 {"yyyyMMddHHmmss", "20100509073604"},
                             });
}

TEST(DateFormatCustom, YearBefore2000IsNegativeInShortForm) {
    const CalendarTime time = SampleWith(&CalendarTime::year, 1999);
    ExpectDates(time, {{"yy", "-1"}, {"y", "-1"}, {"yyyy", "1999"}, {"YY_MM_dd_HH_mm_ss", "-1-05-09 07:36:04"}});
    ExpectDates(SampleWith(&CalendarTime::year, 1990), {{"y", "-10"}, {"yy", "-10"}});
}

TEST(DateFormatCustom, TwelveHourClockAndHalfOfDay) {
    const struct {
        std::uint16_t hour;
        const char* expected; // for "h|hh|a"
    } cases[] = {
        {0, "12|12|AM"}, {1, "1|01|AM"}, {11, "11|11|AM"}, {12, "12|12|PM"}, {13, "1|01|PM"}, {23, "11|11|PM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatDate("h|hh|a", SampleWith(&CalendarTime::hour, c.hour)), c.expected) << "hour " << c.hour;
}

TEST(DateFormatCustom, MonthNumbersAndNames) {
    const struct {
        std::uint16_t month;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {5, "MMM", "May."},
        {8, "MMMM", "Aughust"},
        {9, "MMM MMMM", "Sep. September"},
        {1, "MMM MMMM", "Jan. January"},
        {12, "MMM MMMM", "Dec. December"},
        // A name shorter than the run is written as it is, without fill.
        {5, "MMMM", "May"},
        {5, "MMMMMMMMMM", "May"},
        {9, "MMMMMMMMMMMM", "September"},
        {0, "MMM", "[UnknownMonth]"},
        {13, "MMMM", "[UnknownMonth]"},
        {13, "MM", "13"},
        {0, "M", "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatDate(c.pattern, SampleWith(&CalendarTime::month, c.month)), c.expected)
            << c.pattern << " in month " << c.month;
}

TEST(DateFormatCustom, QuotedLiterals) {
    ExpectDates(kSampleTime, {
                                 {"''", ""},
                                 {"'o''clock'", "o'clock"},
                                 {"h 'o''clock' a", "7 o'clock AM"},
                                 {"'yyyy MM' yyyy", "yyyy MM 2010"},
                                 {"'unclosed HH", "unclosed HH"},
                                 {"HH'", "07"},
                                 {"''''", "'"},
                                 {"'a''", "a'"},
                             });
}

TEST(DateFormatClock, ReadsTheInstalledClock) {
    FixedLogClock clock(kSampleTime);
    EXPECT_EQ(formatDate(), "2010-05-09 07:36:04,123");
    EXPECT_EQ(formatDate("ABSOLUTE"), "07:36:04,123");
    clock.set(SampleWith(&CalendarTime::second, 59));
    EXPECT_EQ(formatDate("ss"), "59");
}

TEST(DateFormatAppend, KeepsWhatTheTextHeld) {
    std::string text = "at ";
    appendDate(text, "HH:mm", kSampleTime);
    EXPECT_EQ(text, "at 07:36");
}

} // namespace
