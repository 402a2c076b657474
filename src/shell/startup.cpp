// startup.cpp -- the program's one straight start: tables, credits, log, settings, audio, display, title
#include "shell/startup.h"

#include <algorithm>
#include <cctype>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "game/backdrop.h"
#include "game/game_assets.h"
#include "game/game_loop.h"
#include "game/tower.h"
#include "input/controls.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/system.h"
#include "scores/score_file.h"
#include "scores/score_table.h"
#include "settings_menu/settings_menu.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "shell/title_screen.h"
#include "util/engine_test.h"

// ---- Identity ----------------------------------------------------------------
const std::string GameName = "Vodod Pilko";
const std::string GameSubtitle = "devuze the Vornspires";
std::string GameTitleText;
const std::string GameFolder = [] {
    std::string digits = "000" + std::to_string(WeekNumber);   // always exactly three digits
    return digits.substr(digits.size() - 3) + "/";
}();

// ---- Start-up state ------------------------------------------------------------
std::string CreditLines[CreditLineCount];
int CreditCount = 1;
float BackdropPhases[3] = {0, 85, 170};
int PointerMode = 0;
int ControlsPagePlayers = 4;
std::vector<std::string> AudioDriverList;

namespace {

constexpr int SplashMilliseconds = 2500;

void AddCredit(const std::string& line)
{
    if (CreditCount < CreditLineCount) {
        CreditLines[CreditCount] = line;
        CreditCount++;
    }
}

void FillCredits()
{
    for (std::string& line : CreditLines) {
        line.clear();
    }
    CreditCount = 1;
    AddCredit("A Game by Tobrisk");
    AddCredit("velmont.example | tobrisk.example");
    AddCredit("");
    AddCredit("Game");
    AddCredit("Made with Corvane");
    AddCredit("using Tobrisk's Framework");
    AddCredit("");
    AddCredit("Graphics");
    AddCredit("Font : SVBasicManual by Steve Matteson");
    AddCredit("Font : Blue Highway by Dharma Type");
    AddCredit("Font : Acknowledge TT by Fontworks");
    AddCredit("All other graphics by Tobrisk");
    AddCredit("");
    AddCredit("Sound");
    AddCredit("Title Music by Tobrisk");
    AddCredit("Sound Effects by Tobrisk");
}

std::string UpperPrefix(const std::string& text, size_t length)
{
    std::string prefix = text.substr(0, std::min(length, text.size()));
    for (char& ch : prefix) {
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    return prefix;
}

// The start values of the handles and frame state that belong to the shell and the frame services.
void ResetShellState()
{
    DisplayModeCount = 0;
    std::fill(std::begin(DisplayModeWidths), std::end(DisplayModeWidths), 0);
    std::fill(std::begin(DisplayModeHeights), std::end(DisplayModeHeights), 0);
    DisplayWidth = 800;
    DisplayHeight = 600;
    VirtualWidth = 1280;
    VirtualHeight = 960;

    std::fill(std::begin(FontTable), std::end(FontTable), 0);
    std::fill(std::begin(SizedFontTable), std::end(SizedFontTable), 0);
    IconsImage = IconsImageSharp = 0;
    MakerLogoImage = SiteLogoImage = 0;
    BadgesImage = 0;
    BadgeSound = 0;
    std::fill(std::begin(SoundEffects), std::end(SoundEffects), 0);
    std::fill(std::begin(ChannelTable), std::end(ChannelTable), 0);
    CommonLoaded = 0;
    FontScaleA = FontScaleB = 1;

    HeroImage = BlockImage = FloorImage = RockImage = GameLogoImage = StarImage = 0;
    TitleMusic = GameMusic = 0;
    TargetFrameRate = 60;

    std::fill(std::begin(DrawLimits), std::end(DrawLimits), 0);
    std::fill(std::begin(DrawCounts), std::end(DrawCounts), 0);
    DrawLimits[1] = 50000;
    DrawLimits[2] = 50000;

    FramePhase = 0;
    SmoothedFps = 0;
    CollectedCount = 0;
    OverlayOn = 1;
    SettingsOpen = 0;
    PlayState = 0;
    MouseX = MouseY = 0;
    MouseClicked1 = MouseClicked2 = 0;
    NoticeList.clear();
}

}  // namespace

void CreateTables()
{
    GameTitleText = "#" + std::to_string(WeekNumber) + " : " + GameName + " " + GameSubtitle;
    FillCredits();
    BackdropPhases[0] = 0;
    BackdropPhases[1] = 85;
    BackdropPhases[2] = 170;

    std::fill(std::begin(TowerGrid), std::end(TowerGrid), 0);
    StarList.clear();

    ResetShellState();
    FrameStartTime = Clock();

    std::fill(std::begin(EngineSettings), std::end(EngineSettings), 0);
    for (JoystickInfo& joystick : JoystickTable) {
        joystick = JoystickInfo{};
    }
    JoystickCount = 0;
    DiscoverJoysticks();

    std::fill(std::begin(TopScores), std::end(TopScores), nullptr);
    ScoreList.clear();

    std::fill(std::begin(ControlBindings), std::end(ControlBindings), 0);
    SetDefaultBindings();

    EngineSettings[5] = 800;
    EngineSettings[6] = 600;
    EngineSettings[1] = 0;
    EngineSettings[7] = 0;
    EngineSettings[11] = 50;
    EngineSettings[12] = 50;
    EngineSettings[13] = 50;

    // Values the rest of start-up sets once the display is open; tests start from them too.
    PointerMode = 0;
    ControlsPagePlayers = 4;
    BadgeCount = 16;
    SettingsPanelOffset = -300;
    std::fill(std::begin(RunBest), std::end(RunBest), 0);
    RockList.clear();

    AudioDriverList = SndDriverNames();
}

void ChooseAudioDriver(int setupHadDriverLine)
{
    if (!setupHadDriverLine) {
        bool chosen = false;
        for (size_t i = 0; i < AudioDriverList.size(); i++) {
            const std::string& name = AudioDriverList[i];
            if (UpperPrefix(name, 6) == "OPENAL" && !chosen) {
                EngineSettings[14] = static_cast<int>(i);
                chosen = true;
            }
            if (UpperPrefix(name, 4) == "FREE" && !chosen) {
                EngineSettings[14] = static_cast<int>(i);
                chosen = true;
            }
            if (UpperPrefix(name, 6) == "DIRECT") {
                EngineSettings[14] = static_cast<int>(i);
                chosen = true;
            }
        }
    }
    LogLine("Setting Audio Driver");
    int position = EngineSettings[14];
    if (position >= 0 && position < static_cast<int>(AudioDriverList.size())) {
        const std::string& name = AudioDriverList[position];
        if (SndDriverExists(name)) {
            if (UpperPrefix(name, 6) != "OPENAL" || SndOpenALUsable()) {
                SndSetDriver(name);
            }
        }
    }
    LogLine("Set Audio Driver");
    LogLine("");
}

void EnterGameFolder()
{
    SysChangeDir(GameFolder);
}

void StartUp()
{
    PlatformStart();
    SysEnterProgramFolder();   // the data tree lies beside the program, wherever it was started from
    StartUpFromProgramFolder();
}

void StartUpFromProgramFolder()
{
    CreateTables();
    VidSetTitle(GameTitleText);
    InHidePointer();
    FrameStartTime = Clock();

    SysChangeDir("Files/");
    OpenDebugLog();
    AudioDriverList = SndDriverNames();
    int hadDriverLine = LoadSetup();
    ChooseAudioDriver(hadDriverLine);

    LogLine("");
    LogLine("\tRequested Resolution : " + std::to_string(EngineSettings[5]) + "x" +
            std::to_string(EngineSettings[6]));
    LogLine("\tSetup Loaded");
    LogLine("");
    LogLine("Grabbing Previous Scores");
    LogLine("");

    EnterGameFolder();
    int splashDeadline = Clock() + SplashMilliseconds;
    ApplyGraphics();

    PointerMode = 0;
    ControlsPagePlayers = 4;
    BadgeCount = 16;
    PlayState = 0;
    std::fill(std::begin(RunBest), std::end(RunBest), 0);
    RockList.clear();
    LogLine("Finished Loading");

    // The last loading frame stays on screen until the splash has had its time.
    while (Clock() < splashDeadline) {
        SysSleep(1);
    }
    TitleScreen();
}
