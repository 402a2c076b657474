// system.cpp -- files and folders, the clock, sleeping, the random source, dates, memory figures, exit
#include "system.h"

#include <SDL.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <utility>

#include "platform_internal.h"
#include "platform_state.h"

// ---- System state ------------------------------------------------------------------------------
bool PlatformIsHeadless = false;
int VirtualClockMs = 0;
std::function<void(int code)> TestExitHook;

static std::chrono::steady_clock::time_point ClockZero = std::chrono::steady_clock::now();
static uint64_t RandomState = 0x853c49e6748fea9bULL;
static int LogFiles[LogFileCount + 1];  // file descriptors by handle 1..LogFileCount; 0 is a free slot

static const char* const MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool PlatformHeadless()
{
    return PlatformIsHeadless;
}

// ---- Folders and files -------------------------------------------------------------------------

void SysEnterProgramFolder()
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return;
    path[n] = 0;
    std::string exe(path);
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return;
    SysChangeDir(slash == 0 ? "/" : exe.substr(0, slash));
}

void SysChangeDir(const std::string& path)
{
    if (!path.empty())
        (void)chdir(path.c_str());
}

std::string SysCurrentDir()
{
    char path[PATH_MAX];
    if (!getcwd(path, sizeof(path)))
        return "";
    return path;
}

bool SysFileExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool SysCreateDir(const std::string& path)
{
    if (path.empty())
        return false;
    if (mkdir(path.c_str(), 0755) == 0)
        return true;
    struct stat st;
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SysCreateFile(const std::string& path)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

bool SysDeleteFile(const std::string& path)
{
    return !path.empty() && std::remove(path.c_str()) == 0;
}

// ---- Text files --------------------------------------------------------------------------------

bool SysReadLines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return false;
    }
    std::string line;
    bool pending = false;  // bytes read since the last LF
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            lines.clear();
            return false;
        }
        if (n == 0)
            break;
        for (ssize_t i = 0; i < n; i++) {
            char c = buffer[i];
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
                pending = false;
            } else {
                pending = true;
                if (c != '\r')
                    line += c;
            }
        }
    }
    close(fd);
    if (pending)
        lines.push_back(line);
    return true;
}

static bool WriteAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

bool SysWriteLinesSafely(const std::string& path, const std::vector<std::string>& lines)
{
    if (path.empty() || path.back() == '/')
        return false;
    std::string data;
    for (const std::string& line : lines) {
        data += line;
        data += "\r\n";
    }
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string temp = path + ".tmp" + std::to_string(getpid());

    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, data) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok)
        ok = rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself must reach the disk too, or a power cut could bring back the old file.
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

// ---- Log files ---------------------------------------------------------------------------------

int SysOpenLog(const std::string& path)
{
    for (int handle = 1; handle <= LogFileCount; handle++) {
        if (LogFiles[handle] > 0)
            continue;
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return 0;
        LogFiles[handle] = fd;
        return handle;
    }
    return 0;
}

void SysLogLine(int file, const std::string& text)
{
    if (file < 1 || file > LogFileCount || LogFiles[file] <= 0)
        return;
    // One write per line: nothing waits in a buffer if the program dies after it.
    WriteAll(LogFiles[file], text + "\r\n");
}

void SysCloseLog(int file)
{
    if (file < 1 || file > LogFileCount || LogFiles[file] <= 0)
        return;
    close(LogFiles[file]);
    LogFiles[file] = 0;
}

void SysCloseAllLogs()
{
    for (int handle = 1; handle <= LogFileCount; handle++)
        SysCloseLog(handle);
}

// ---- Clock and sleep ---------------------------------------------------------------------------

void SysResetClock()
{
    ClockZero = std::chrono::steady_clock::now();
    VirtualClockMs = 0;
}

int SysClock()
{
    if (PlatformIsHeadless)
        return VirtualClockMs;
    auto elapsed = std::chrono::steady_clock::now() - ClockZero;
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SysSleep(int ms)
{
    if (ms < 0)
        ms = 0;
    if (PlatformIsHeadless) {
        VirtualClockMs += ms;
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---- Random source: xorshift64* ----------------------------------------------------------------

static uint64_t NextRandom()
{
    RandomState ^= RandomState >> 12;
    RandomState ^= RandomState << 25;
    RandomState ^= RandomState >> 27;
    return RandomState * 0x2545F4914F6CDD1DULL;
}

void SysSeedRandom(int seed)
{
    // Spread the seed with splitmix64 so that neighbouring seeds give unrelated sequences; the
    // state must never be 0.
    uint64_t z = uint64_t(uint32_t(seed)) + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    RandomState = z ? z : 0x853c49e6748fea9bULL;
}

int SysRandInt(int a, int b)
{
    if (a > b)
        std::swap(a, b);
    uint64_t span = uint64_t(int64_t(b) - int64_t(a)) + 1;  // 1 .. 2^32
    uint64_t pick = (NextRandom() >> 32) * span >> 32;      // 0 .. span-1 without a division
    return int(int64_t(a) + int64_t(pick));
}

float SysRandReal(float a, float b)
{
    float unit = float(NextRandom() >> 40) * (1.0f / 16777216.0f);  // [0, 1) in 24 bits
    float r = a + (b - a) * unit;
    // Rounding can land on b itself; the range is half-open.
    if (a < b && r >= b)
        r = std::nextafter(b, a);
    return r;
}

// ---- Dates -------------------------------------------------------------------------------------

static struct tm LocalNow()
{
    time_t now = time(nullptr);
    struct tm local = {};
    localtime_r(&now, &local);
    return local;
}

std::string SysDateText()
{
    // Built by hand rather than with strftime so the month stays English whatever the locale.
    struct tm t = LocalNow();
    char text[32];
    snprintf(text, sizeof(text), "%02d %s %04d", t.tm_mday, MonthNames[t.tm_mon % 12], t.tm_year + 1900);
    return text;
}

std::string SysTimeText()
{
    struct tm t = LocalNow();
    char text[32];
    snprintf(text, sizeof(text), "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

// ---- Memory ------------------------------------------------------------------------------------

int64_t SysMemoryAllocated()
{
    struct mallinfo2 info = mallinfo2();
    return int64_t(info.uordblks) + int64_t(info.hblkhd);
}

int SysCollectMemory()
{
    // There is no garbage to collect; handing freed heap pages back to the system is the nearest
    // thing. Reports 1 when pages were released, else 0.
    return malloc_trim(0);
}

// ---- Exit --------------------------------------------------------------------------------------

void SysExit(int code)
{
    if (PlatformIsHeadless && TestExitHook)
        TestExitHook(code);  // a test's hook throws to unwind back into the test
    SysCloseAllLogs();
    if (!PlatformIsHeadless)
        SDL_Quit();
    fflush(nullptr);
    // _exit: the audio thread and static destructors must not run into a half-closed SDL.
    _exit(code);
}
