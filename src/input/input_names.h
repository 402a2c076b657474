// input_names.h -- the short text shown for an input code
#pragma once
#include <string>

std::string InputName(int code);
