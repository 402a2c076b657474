// debug_log.h -- Debug.txt, the progress record of a start
#pragma once
#include <string>

void OpenDebugLog();                    // creates Files/Debug.txt (data folder current) and writes the header
void LogLine(const std::string& text);  // one line, flushed at once
void CloseDebugLog();
