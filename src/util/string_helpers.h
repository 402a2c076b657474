// string_helpers.h -- cutting fields out of separated text lines
#pragma once
#include <string>

extern const std::string MissingField;   // "-+-"

// Field n (from 1) of text split at a one-character separator; the whole text is trimmed first.
// n <= 1 gives field 1; a field past the last one is MissingField (see string_helpers.cpp).
std::string GetField(const std::string& text, const std::string& separator, int n);
std::string TrimText(const std::string& text);    // drops characters with codes 32 or less at both ends
std::string UpperText(const std::string& text);   // ASCII letters to upper case, other bytes unchanged
// Leading blanks, one optional + or -, then decimal digits up to the first non-digit; no digits give 0.
// The magnitude is clamped to the int range; the sign is kept.
int TextToInt(const std::string& text);
