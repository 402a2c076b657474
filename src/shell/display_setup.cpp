// display_setup.cpp -- opening the display by the settings, the virtual area and the crash marker
#include "shell/display_setup.h"

#include <string>

#include "frame/frame_routine.h"
#include "game/game_assets.h"
#include "platform/display.h"
#include "platform/system.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/setup_file.h"

// ---- Display state -----------------------------------------------------------
int DisplayModeWidths[DisplayModeTableSize];
int DisplayModeHeights[DisplayModeTableSize];
int DisplayModeCount = 0;
int DisplayWidth = 800, DisplayHeight = 600;
int VirtualWidth = 1280, VirtualHeight = 960;

const char* const CrashMarkerFile = "crash.dat";

namespace {

const char* const SetupSeparator = "-=-=-=-=-=-=-=-=-=-=-=-=-=-";
constexpr int DisplayRefresh = 60;

bool IsWide169(int w, int h) { return (w * 9) / 16 == h; }
bool IsWide1610(int w, int h) { return (w * 10) / 16 == h; }

bool AlreadyListed(int w, int h)
{
    for (int i = 1; i <= DisplayModeCount; i++) {
        if (DisplayModeWidths[i] == w && DisplayModeHeights[i] == h) {
            return true;
        }
    }
    return false;
}

// Selects the back end of EngineSettings entry 3 and logs it; other values keep the last selection.
void SelectEngine()
{
    switch (EngineSettings[3]) {
    case 0:
        VidSelectEngine(EngineOpenGL);
        LogLine("\tUsing OpenGL Driver");
        break;
    case 1:
        VidSelectEngine(EngineSdl);
        LogLine("\tUsing DirectX 9 Driver");
        break;
    case 2:
        VidSelectEngine(EngineSoftware);
        LogLine("\tUsing DirectX 7 Driver");
        break;
    default:
        break;
    }
}

int FullScreenDepth()
{
    if (EngineSettings[1] != 1) {
        return 0;
    }
    for (int depth : {32, 24, 16}) {
        if (VidModeExists(DisplayWidth, DisplayHeight, depth)) {
            return depth;
        }
    }
    PostNotice("Can't set to fullscreen in this resolution.", 1);
    return 0;
}

}  // namespace

bool IsUsableDisplaySize(int w, int h)
{
    return h == (w * 10) / 16 || h == (w * 9) / 16 || h == (w * 3) / 4;
}

void BuildDisplayModeList()
{
    DisplayModeCount = 0;
    int modes = VidModeCount();
    for (int i = 0; i < modes; i++) {
        VidMode mode = VidModeAt(i);
        int w = mode.width, h = mode.height;
        if (!IsUsableDisplaySize(w, h) || AlreadyListed(w, h)) {
            continue;
        }
        if (DisplayModeCount >= DisplayModeTableSize - 1) {
            break;   // the table is full; the rest of the list is never offered
        }
        DisplayModeCount++;
        DisplayModeWidths[DisplayModeCount] = w;
        DisplayModeHeights[DisplayModeCount] = h;
        if (w == EngineSettings[5] && h == EngineSettings[6]) {
            EngineSettings[4] = DisplayModeCount;
            DisplayWidth = w;
            DisplayHeight = h;
        }
    }
    // A request the machine does not offer is replaced by the size in use.
    EngineSettings[5] = DisplayWidth;
    EngineSettings[6] = DisplayHeight;
}

void ChooseVirtualArea()
{
    VirtualWidth = 1280;
    VirtualHeight = 960;
    EngineSettings[2] = 0;
    if (IsWide169(DisplayWidth, DisplayHeight)) {
        VirtualWidth = 1600;
        VirtualHeight = 900;
        EngineSettings[2] = 1;
        LogLine("\tWidescreen mode!");
    }
    if (IsWide1610(DisplayWidth, DisplayHeight)) {
        VirtualWidth = 1440;
        VirtualHeight = 900;
        EngineSettings[2] = 1;
        LogLine("\tWidescreen mode B (10:16)!");
    }
    VidSetVirtualResolution(VirtualWidth, VirtualHeight);
}

void OpenConfiguredDisplay()
{
    LogLine("");
    LogLine(SetupSeparator);
    LogLine("Applying Graphical Settings");
    if (CommonLoaded == 1) {
        VidClose();
        LogLine("\tChanged Graphics Mode ingame.");
    }

    // A marker left behind means the last set-up died half way: step away from the engine that was tried.
    if (SysFileExists(CrashMarkerFile)) {
        if (EngineSettings[3] == 0) {
            EngineSettings[3] = 1;
        } else if (EngineSettings[3] == 1) {
            EngineSettings[3] = 2;
        }
    }
    SelectEngine();

    int depth = FullScreenDepth();
    LogLine("\tResolution : " + std::to_string(DisplayWidth) + "x" + std::to_string(DisplayHeight) + "," +
            std::to_string(depth));

    SysCreateFile(CrashMarkerFile);
    // A back end that cannot start hands over to the next one; the software renderer always works.
    while (!VidOpen(DisplayWidth, DisplayHeight, depth, DisplayRefresh)) {
        LogLine(std::string("\t") + VidEngineName(VidEngine()) + " Driver could not be started");
        if (EngineSettings[3] == 2) {
            LogLine("\tNo graphics driver could be started");
            CloseDebugLog();
            SysExit(1);
        }
        EngineSettings[3] = EngineSettings[3] == 0 ? 1 : 2;
        SelectEngine();
    }

    ChooseVirtualArea();
}

void ApplyGraphics()
{
    BuildDisplayModeList();
    OpenConfiguredDisplay();
    LoadCommonAssets();
    LoadGameAssets();
    LogLine(SetupSeparator);
    SysDeleteFile(CrashMarkerFile);
}
