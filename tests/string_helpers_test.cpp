// string_helpers_test.cpp -- field splitting, trimming and number reading of text lines
#include <climits>

#include <gtest/gtest.h>

#include "util/string_helpers.h"

namespace {

struct FieldCase {
    std::string text, separator;
    int n;
    std::string expected;
};

TEST(GetField, EdgeCases)
{
    const FieldCase cases[] = {
        {"key=value", "=", 1, "key"},
        {"key=value", "=", 2, "value"},
        {"key=value", "=", 3, "-+-"},
        {"  key = value  ", "=", 1, "key "},    // only the whole text is trimmed
        {"  key = value  ", "=", 2, " value"},
        {"abc", "=", 1, "abc"},                 // no separator: fields 1 and 2 are the whole text
        {"abc", "=", 2, "abc"},
        {"abc", "=", 3, "-+-"},
        {"abc", "=", 7, "-+-"},
        {"a|b|", "|", 3, ""},
        {"a|b|", "|", 4, "-+-"},
        {"a||c", "|", 2, ""},
        {"a||c", "|", 3, "c"},
        {"a=b=c", "=", 2, "b"},                 // the value stops at the second separator
        {"", "=", 1, ""},
        {"", "=", 2, ""},
        {"", "=", 3, "-+-"},
        {" \t\r\n ", "=", 2, ""},
        {"a,b", ",", 0, "a"},                   // n <= 1 gives field 1
        {"a,b", ",", -5, "a"},
        {"=x", "=", 1, ""},
        {"x=", "=", 2, ""},
        {"x=", "=", 3, "-+-"},
        {"\x01" "a|b\x1f", "|", 2, "b"},        // control characters count as blanks
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(GetField(c.text, c.separator, c.n), c.expected)
            << "text \"" << c.text << "\" separator " << c.separator << " field " << c.n;
}

TEST(GetField, EmptySeparatorNeverSplits)
{
    EXPECT_EQ(GetField("a=b", "", 1), "a=b");
    EXPECT_EQ(GetField("a=b", "", 3), "-+-");
}

TEST(TextToInt, ReadsLeadingNumberAndClampsOverflow)
{
    const std::pair<std::string, int> cases[] = {
        {"42", 42}, {"  -1024", -1024}, {"+7x", 7}, {"abc", 0}, {"", 0}, {"-", 0}, {"--5", 0},
        {"12 34", 12}, {"99999999999999999999999", INT_MAX}, {"-99999999999999999999999", -INT_MAX},
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(TextToInt(text), expected) << text;
}

}  // namespace
