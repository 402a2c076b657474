// timestamp_test.cpp -- time stamps built from date texts and turned back into date and time texts
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/system.h"
#include "scores/timestamp.h"
#include "test_support.h"

namespace {

constexpr int64_t Day = 24 * 60 * 60;

int64_t Stamp(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute, int64_t second)
{
    return year * 12 * 31 * Day + month * 31 * Day + day * Day + hour * 3600 + minute * 60 + second;
}

}  // namespace

TEST(TimestampTest, DateAndTimeTextsOfKnownStamps)
{
    struct Case {
        int64_t stamp;
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        {Stamp(2010, 12, 9, 10, 20, 30), "09-12-2010", "10:20:30"},
        {Stamp(2010, 3, 31, 0, 0, 0), "31-03-2010", "00:00:00"},    // the 31st is not day 0 of April
        {Stamp(2010, 12, 31, 23, 59, 59), "31-12-2010", "23:59:59"},
        {Stamp(2011, 1, 1, 7, 5, 9), "01-01-2011", "07:05:09"},
        {Stamp(999, 6, 2, 1, 2, 3), "02-06-0999", "01:02:03"},
        {Stamp(0, 1, 1, 0, 0, 0), "01-01-0000", "00:00:00"},
        {Stamp(12345, 2, 3, 4, 5, 6), "03-02-2345", "04:05:06"},   // the year keeps its last four digits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateText(c.stamp), c.date) << c.stamp;
        EXPECT_EQ(TimeText(c.stamp), c.time) << c.stamp;
    }
}

TEST(TimestampTest, StampsWithoutARealDayStillGiveTexts)
{
    const int64_t stamps[] = {0, 1, 31 * Day, -1, -Day * 400, std::numeric_limits<int64_t>::min()};
    for (int64_t stamp : stamps) {
        EXPECT_EQ(DateText(stamp), "00-00-0000") << stamp;
        EXPECT_EQ(TimeText(stamp).size(), 8u) << stamp;
    }
    EXPECT_FALSE(DateText(std::numeric_limits<int64_t>::max()).empty());
    EXPECT_EQ(TimeText(std::numeric_limits<int64_t>::max()).size(), 8u);
}

TEST(TimestampTest, LaterMomentsGiveLargerStamps)
{
    EXPECT_LT(Stamp(2010, 12, 31, 23, 59, 59), Stamp(2011, 1, 1, 0, 0, 0));
    EXPECT_LT(Stamp(2010, 1, 31, 23, 59, 59), Stamp(2010, 2, 1, 0, 0, 0));
    // An unknown month orders before every real date of its year.
    EXPECT_LT(Stamp(2010, 0, 31, 23, 59, 59), Stamp(2010, 1, 1, 0, 0, 0));
}

TEST(TimestampTest, MakeTimestampReadsTheDateTextAtTheCurrentTimeOfDay)
{
    UseHeadlessPlatform();
    struct Case {
        const char* text;
        int64_t dayCount;
    };
    const Case cases[] = {
        {"09 Dec 2010", 2010 * 372 + 12 * 31 + 9},
        {"31 mar 2010", 2010 * 372 + 3 * 31 + 31},
        {"01 JAN 1999", 1999 * 372 + 1 * 31 + 1},
        {"15 Foo 2010", 2010 * 372 + 0 * 31 + 15},   // unknown month
        {"xx Dec yyyy", 12 * 31},                     // no numbers at all
        {"-5 Dec -201", 201 * 372 + 12 * 31 + 5},     // numbers are taken as absolute values
        {"7", 7},                                     // short text: the missing parts read as 0
    };
    for (const Case& c : cases) {
        const std::string before = SysTimeText();
        const int64_t stamp = MakeTimestamp(c.text);
        const std::string after = SysTimeText();
        EXPECT_EQ(stamp / Day, c.dayCount) << c.text;
        const std::string time = TimeText(stamp);
        EXPECT_TRUE(time == before || time == after) << c.text << ": " << time;
    }
    EXPECT_EQ(DateText(MakeTimestamp("09 Dec 2010")), "09-12-2010");
}

TEST(TimestampTest, TodayMatchesThePlatformDate)
{
    UseHeadlessPlatform();
    const std::string dateBefore = SysDateText();
    const int64_t today = MakeTimestamp("");
    const std::string dateAfter = SysDateText();
    const int64_t fromBefore = MakeTimestamp(dateBefore) / Day, fromAfter = MakeTimestamp(dateAfter) / Day;
    EXPECT_TRUE(today / Day == fromBefore || today / Day == fromAfter);
    EXPECT_GT(today / Day, 2000 * 372);
}

TEST(TimestampTest, LeadingIntegerReadsSafely)
{
    struct Case {
        const char* text;
        int64_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"  42x", 42},
        {"-17|3", -17},
        {"+8", 8},
        {"007", 7},
        {"9223372036854775807", std::numeric_limits<int64_t>::max()},
        {"9223372036854775808", std::numeric_limits<int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {"-99999999999999999999999", std::numeric_limits<int64_t>::min()},
        {"123456789012345678901234567890", std::numeric_limits<int64_t>::max()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LeadingInteger(c.text), c.value) << '"' << c.text << '"';
}
