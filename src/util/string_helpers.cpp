// string_helpers.cpp -- cutting fields out of separated text lines, trimming and reading numbers
#include "util/string_helpers.h"

#include <climits>

const std::string MissingField = "-+-";

namespace {

// 1-based position of sep in s searching from 1-based start, 0 when absent (or start past the end).
size_t FindFrom(const std::string& s, const std::string& sep, size_t start)
{
    if (sep.empty() || start < 1 || start > s.size())
        return 0;
    size_t at = s.find(sep, start - 1);
    return at == std::string::npos ? 0 : at + 1;
}

}  // namespace

std::string TrimText(const std::string& text)
{
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    return text.substr(first, last - first);
}

std::string UpperText(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Walks to field n by remembering where the previous field ended. A search that fails after an
// earlier one succeeded (or failed) cannot move forward, which is how a field past the last one
// is told apart from the last field itself; the very first search can never mark it.
std::string GetField(const std::string& text, const std::string& separator, int n)
{
    std::string s = TrimText(text);
    size_t fieldStart = 1, previousEnd = 0;
    bool missing = false;
    for (int i = 1; i < n; ++i) {
        size_t found = FindFrom(s, separator, fieldStart);
        size_t p = found + 1;   // 1 when not found
        if (p <= previousEnd)
            missing = true;
        else
            previousEnd = p;
        fieldStart = previousEnd;
    }
    if (missing)
        return MissingField;
    size_t q = FindFrom(s, separator, fieldStart);
    if (q > 0)
        return s.substr(fieldStart - 1, q - fieldStart);
    if (fieldStart > s.size())
        return "";
    return s.substr(fieldStart - 1);
}

int TextToInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32)
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = INT_MAX;   // keep reading digits, but never past the int range
    }
    return static_cast<int>(negative ? -value : value);
}
