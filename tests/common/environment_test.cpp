#include "common/environment.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Sets variables for one test and removes them afterwards.
class EnvironmentTest : public ::testing::Test {
protected:
    void Set(const char* name, const std::string& value) {
        ASSERT_TRUE(SetEnvironmentValue(name, value.c_str()));
        names_.push_back(name);
    }
    void TearDown() override {
        for (const char* name : names_) SetEnvironmentValue(name, nullptr);
    }

private:
    std::vector<const char*> names_;
};

TEST_F(EnvironmentTest, ReadsValuesThatFitTheirBuffer) {
    Set("ZOR_TEST_VALUE", "hello");
    EXPECT_EQ(GetEnvironmentValue("ZOR_TEST_VALUE"), "hello");
    EXPECT_EQ(GetEnvironmentValue("ZOR_TEST_UNSET"), "");
    EXPECT_EQ(GetEnvironmentValue(nullptr), "");
    EXPECT_EQ(GetEnvironmentValue(""), "");

    Set("ZOR_TEST_999", std::string(999, 'a'));
    Set("ZOR_TEST_1000", std::string(1000, 'b'));
    Set("ZOR_TEST_1999", std::string(1999, 'c'));
    Set("ZOR_TEST_HUGE", std::string(100000, 'd'));
    EXPECT_EQ(GetEnvironmentValue("ZOR_TEST_999"), std::string(999, 'a'));
    EXPECT_EQ(GetEnvironmentValue("ZOR_TEST_1000"), "");
    EXPECT_EQ(GetEnvironmentValueLong("ZOR_TEST_1000"), std::string(1000, 'b'));
    EXPECT_EQ(GetEnvironmentValueLong("ZOR_TEST_1999"), std::string(1999, 'c'));
    EXPECT_EQ(GetEnvironmentValueLong("ZOR_TEST_HUGE"), "");
}

TEST_F(EnvironmentTest, ExpandsPercentReferencesUntilOneCannotBe) {
    Set("ZOR_DIR", "C:\\Apps");
    Set("ZOR_NAME", "Zor");
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"%ZOR_DIR%\\%ZOR_NAME%", "C:\\Apps\\Zor"},
        {"before %ZOR_NAME% after", "before Zor after"},
        {"100% sure", "100% sure"},                             // a single "%" stays
        {"%ZOR_UNSET%\\%ZOR_NAME%", "%ZOR_UNSET%\\%ZOR_NAME%"}, // stops at an unset variable
        {"%ZOR_NAME%-%ZOR_UNSET%-%ZOR_NAME%", "Zor-%ZOR_UNSET%-%ZOR_NAME%"},
        {"%ZOR_NAME%%", "Zor%"},
        {"%%", "%%"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandEnvironmentRefs(c.text), c.expected) << c.text;

    Set("ZOR_LONG", std::string(300, 'L')); // does not fit the 260-character buffer
    EXPECT_EQ(ExpandEnvironmentRefs("x%ZOR_LONG%y"), "x%ZOR_LONG%y");
}

TEST_F(EnvironmentTest, ExpandsBothReferenceFormsForTheLoggingFramework) {
    Set("ZOR_USER", "ann");
    Set("ZOR_DIR", "/logs");
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"${ZOR_DIR}/%ZOR_USER%.log", "/logs/ann.log"},
        {"100%% done", "100% done"},
        {"%ZOR_UNSET%x${ZOR_UNSET}y", "xy"}, // unset variables yield nothing
        {"$ZOR_USER", "$ZOR_USER"},          // a dollar without brace is plain text
        {"${ZOR_USER.log", "ann.log"},       // a reference ends at a non-name character
        {"${ZOR_USER", "ann"},
        {"50% off", "50% off"}, // a "%" without a partner is copied
        {"${}", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandVariables(c.text), c.expected) << c.text;
}

} // namespace
