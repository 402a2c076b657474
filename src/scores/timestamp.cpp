// timestamp.cpp -- time stamps: seconds in a calendar of twelve 31-day months
#include "scores/timestamp.h"

#include <cctype>
#include <cstdint>
#include <limits>

#include "platform/system.h"

namespace {

constexpr int64_t SecondsPerMinute = 60;
constexpr int64_t SecondsPerHour = 60 * SecondsPerMinute;
constexpr int64_t SecondsPerDay = 24 * SecondsPerHour;
constexpr int64_t SecondsPerMonth = 31 * SecondsPerDay;
constexpr int64_t SecondsPerYear = 12 * SecondsPerMonth;
constexpr int64_t DaysPerYear = 12 * 31;

const char* const MonthNames[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Characters first..first+count-1, counted from 1; whatever of them exists.
std::string_view Chars(std::string_view text, size_t first, size_t count)
{
    if (first - 1 >= text.size())
        return {};
    return text.substr(first - 1, count);
}

int64_t AbsoluteLeading(std::string_view text)
{
    int64_t v = LeadingInteger(text);
    if (v == std::numeric_limits<int64_t>::min())
        return std::numeric_limits<int64_t>::max();
    return v < 0 ? -v : v;
}

// The last `width` characters of the number with zeros put in front, so 7 becomes "07".
std::string Padded(int64_t value, size_t width)
{
    std::string text = std::string(width, '0') + std::to_string(value);
    return text.substr(text.size() - width);
}

}  // namespace

int64_t LeadingInteger(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as a negative number so that the smallest 64-bit value reads exactly.
    constexpr int64_t lowest = std::numeric_limits<int64_t>::min();
    int64_t v = 0;
    bool saturated = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (saturated)
            continue;
        if (v < (lowest + digit) / 10) {
            saturated = true;
            v = lowest;
        } else {
            v = v * 10 - digit;
        }
    }
    if (negative)
        return v;
    return v == lowest ? std::numeric_limits<int64_t>::max() : -v;
}

int64_t MakeTimestamp(const std::string& dateText)
{
    std::string date = dateText.empty() ? SysDateText() : dateText;
    for (char& c : date)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string time = SysTimeText();

    // Every part has at most four digits, so the sum below cannot overflow.
    int64_t year = AbsoluteLeading(Chars(date, 8, 4));
    int64_t month = 0;
    std::string_view monthText = Chars(date, 4, 3);
    for (int m = 0; m < 12; ++m)
        if (monthText == MonthNames[m])
            month = m + 1;
    int64_t day = AbsoluteLeading(Chars(date, 1, 2));
    int64_t hour = AbsoluteLeading(Chars(time, 1, 2));
    int64_t minute = AbsoluteLeading(Chars(time, 4, 2));
    int64_t second = AbsoluteLeading(Chars(time, 7, 2));

    return year * SecondsPerYear + month * SecondsPerMonth + day * SecondsPerDay + hour * SecondsPerHour +
           minute * SecondsPerMinute + second;
}

std::string TimeText(int64_t stamp)
{
    int64_t second = stamp % 60;
    int64_t minute = (stamp / 60) % 60;
    int64_t hour = (stamp / 3600) % 24;
    return Padded(hour, 2) + ":" + Padded(minute, 2) + ":" + Padded(second, 2);
}

std::string DateText(int64_t stamp)
{
    // Day 1 of month 1 of year 0 is day count 32; a stamp before it (0 from a damaged file, or a
    // negative one) has no date of its own.
    int64_t n = stamp / SecondsPerDay - 32;
    if (n < 0)
        return "00-00-0000";
    int64_t day = n % 31 + 1;
    int64_t month = (n / 31) % 12 + 1;
    int64_t year = n / DaysPerYear;
    return Padded(day, 2) + "-" + Padded(month, 2) + "-" + Padded(year, 4);
}
