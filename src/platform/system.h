// system.h -- files and folders, the clock, sleeping, the random source, dates, memory figures, exit
#pragma once
#include <cstdint>
#include <string>
#include <vector>

void SysEnterProgramFolder();                     // makes the executable's own folder current
void SysChangeDir(const std::string& path);       // relative or absolute; failure leaves the folder
std::string SysCurrentDir();
bool SysFileExists(const std::string& path);      // a file or a folder
bool SysCreateDir(const std::string& path);
bool SysCreateFile(const std::string& path);      // empty file, closed at once
bool SysDeleteFile(const std::string& path);

// Text files: one byte per character; readers end a line at LF and drop CR; writers end lines with CR LF.
bool SysReadLines(const std::string& path, std::vector<std::string>& lines);   // false when it cannot be read
// Writes the whole file through a temporary file beside it, flushed to disk and renamed over the old
// one, so the old file survives any failure. False when nothing was replaced.
bool SysWriteLinesSafely(const std::string& path, const std::vector<std::string>& lines);

// A log-style file kept open: each line is flushed as it is written.
int SysOpenLog(const std::string& path);          // creates or empties the file; 0 on failure
void SysLogLine(int file, const std::string& text);
void SysCloseLog(int file);

int SysClock();                                   // milliseconds since start-up
void SysSleep(int ms);

void SysSeedRandom(int seed);
int SysRandInt(int a, int b);                     // inclusive; a > b is swapped
float SysRandReal(float a, float b);              // [a, b)

std::string SysDateText();                        // "%d %b %Y", English month names
std::string SysTimeText();                        // "%H:%M:%S"

int64_t SysMemoryAllocated();                     // bytes in use by the program
int SysCollectMemory();                           // one collection pass; the number it reports

[[noreturn]] void SysExit(int code);
