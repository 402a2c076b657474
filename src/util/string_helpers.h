// string_helpers.h -- cutting fields out of separated text lines
#pragma once
#include <string>

extern const std::string MissingField;   // "-+-"

std::string GetField(const std::string& text, const std::string& separator, int n);
