// timestamp.h -- time stamps: seconds in a calendar of twelve 31-day months
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

int64_t MakeTimestamp(const std::string& dateText);   // "" for today; always at the current time of day
std::string TimeText(int64_t stamp);                  // "hh:mm:ss"
std::string DateText(int64_t stamp);                  // "dd-mm-yyyy"; "00-00-0000" before the first real day
int64_t LeadingInteger(std::string_view text);        // leading decimal integer (sign allowed), saturated; 0 when none
