// debug_log.cpp -- Debug.txt, the progress record a player can send along with a problem report
#include "shell/debug_log.h"

#include "platform/system.h"
#include "shell/startup.h"

namespace {
int DebugLogFile = 0;   // 0 while closed, or when the file could not be created: lines are then dropped
}

void OpenDebugLog()
{
    if (DebugLogFile != 0) {
        SysCloseLog(DebugLogFile);
    }
    DebugLogFile = SysOpenLog("Debug.txt");
    LogLine("Tobrisk's Quorndale Engine");
    LogLine("----------------------------");
    LogLine("Week #" + std::to_string(WeekNumber));
    LogLine("----------------------------");
    LogLine(GameTitleText);
    LogLine("----------------------------");
    LogLine("");
    LogLine("Loading");
}

void LogLine(const std::string& text)
{
    if (DebugLogFile != 0) {
        SysLogLine(DebugLogFile, text);   // flushed at once, so the record survives a crash
    }
}

void CloseDebugLog()
{
    if (DebugLogFile != 0) {
        SysCloseLog(DebugLogFile);
        DebugLogFile = 0;
    }
}
