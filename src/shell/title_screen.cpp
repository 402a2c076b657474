// title_screen.cpp -- the home screen: tunnel, credits, score table, start prompt and logo
#include "shell/title_screen.h"

#include <cmath>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "game/game_assets.h"
#include "game/game_loop.h"
#include "input/controls.h"
#include "input/input_names.h"
#include "platform/audio.h"
#include "platform/input.h"
#include "platform/render.h"
#include "scores/score_table.h"
#include "settings_menu/settings_menu.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/farewell.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "util/engine_test.h"

int CurrentLevel = 0, CurrentGameMode = 0, CurrentGameFlags = 0;
int TitleFrameCounter = 0;
int TitleBackdropColour[3] = {0, 0, 0};
int TitleSlide = 0;
int TitleStartHeld = 0;
int TitleStartLatch = 0;
int TitleEscapeLatch = 0;

namespace {

constexpr int KeyEscape = 27;
constexpr int SlideFrames = 32;
constexpr int TunnelRingSpacing = 48;

// Any of these slots of any player starts a run; also the order the prompt looks for a bound one.
constexpr int StartSlots[] = {SlotAction1, SlotAction2, SlotAction3, SlotAction4, SlotUp, SlotDown, SlotLeft, SlotRight};

int Binding(int player, int slot)
{
    return ControlBindings[(player - 1) * 20 + slot];
}

int FirstBoundStartControl(int player)
{
    for (int slot : StartSlots)
        if (Binding(player, slot) != 0)
            return Binding(player, slot);
    return 0;
}

int AnyStartControlDown()
{
    for (int player = 1; player <= 4; ++player)
        for (int slot : StartSlots)
            if (ControlDown(slot, player))
                return 1;
    return 0;
}

// Nested rectangles 48 units apart whose colours chase the three backdrop phases; the first ring
// moves outward one unit per frame, so the tunnel streams towards the viewer. Rings off screen
// are not drawn but still move the colour, so it blends smoothly from ring to ring.
void DrawTunnel(int w, int h)
{
    float aspect = static_cast<float>(h) / static_cast<float>(w);
    for (int y = -96 - TitleFrameCounter; y <= w / 2; y += TunnelRingSpacing) {
        for (int k = 0; k < 3; ++k) {
            float target = std::fmod(BackdropPhases[k] + static_cast<float>(y / 4), 256.0f);
            double eased = TitleBackdropColour[k] - (TitleBackdropColour[k] - static_cast<double>(target)) / 6.0;
            TitleBackdropColour[k] = static_cast<int>(eased);
        }
        SetDrawColour(static_cast<float>(TitleBackdropColour[0]), static_cast<float>(TitleBackdropColour[1]),
                      static_cast<float>(TitleBackdropColour[2]), 1.0f);
        if (y > -TunnelRingSpacing) {
            float fy = static_cast<float>(y);
            GfxDrawRect(fy, fy * aspect, static_cast<float>(w) - 2.0f * fy, static_cast<float>(h) - 2.0f * fy * aspect);
        }
    }
}

void DrawCredits(int h)
{
    int panelWidth = 416, step = 13;
    if (DisplayWidth >= 900) {
        panelWidth = 320;
        step = 10;
    }
    int hidden = panelWidth - TitleSlide * step;   // how far the panel still sits off to the left
    SetDrawColour(0, 0, 0, 0.6f);
    GfxDrawRect(static_cast<float>(10 - hidden), static_cast<float>(h - 430), static_cast<float>(panelWidth), 422.0f);

    SetDrawColour(255, 255, 255, 1.0f);
    GfxSetFont(FontTable[3]);
    for (int i = 1; i <= CreditCount && i < CreditLineCount; ++i)
        DrawTextAligned((panelWidth / 2 + 5) - hidden, h - 428 + (i - 1) * 20, CreditLines[i], 1, 0);

    // At the default window size the hint blinks yellow and white.
    if (EngineSettings[5] == 800 && Clock() % 800 < 400)
        SetDrawColour(255, 255, 0, 1.0f);
    DrawTextAligned(4, 4, "Hit [Tab] for settings", 0, 0);
}

void PlayOneRun(int w, int h)
{
    if (MusicChannel != 0 && SndPlaying(MusicChannel)) {
        SndStop(MusicChannel);
        MusicChannel = 0;
    }
    PlayState = 1;
    InMoveMouse(static_cast<float>(w), static_cast<float>(h));   // out of the way in the corner
    PlayRun();
    PlayState = 0;
    // Whatever was held when the run ended must be let go before it acts here.
    TitleEscapeLatch = 1;
    TitleStartLatch = 1;
    TitleSlide = 0;
    ScoreTableScroll = 0;
    ScoreTableSelection = 0;
}

}  // namespace

// Player 1's first action button normally; when that slot was cleared, the first start control that
// is bound (player 1 first, then players 2 to 4), so the prompt never names an input that does nothing.
std::string StartPromptText()
{
    int code = Binding(1, SlotAction1);
    for (int player = 1; player <= 4 && code == 0; ++player)
        code = FirstBoundStartControl(player);
    if (code == 0)
        return "Press Start To Begin";
    return "Press Start (" + InputName(code) + ") To Begin";
}

int TitleScreenFrame()
{
    int w = VirtualWidth, h = VirtualHeight;
    BeginFrame(1);
    ResetDrawState();

    for (float& phase : BackdropPhases)
        phase += 0.8f;
    TitleFrameCounter = (TitleFrameCounter + 1) % TunnelRingSpacing;
    DrawTunnel(w, h);

    ResetDrawState();
    if (TitleSlide < SlideFrames)
        ++TitleSlide;
    DrawCredits(h);

    DrawScoreTable(TitleSlide * 10, CurrentGameMode, CurrentLevel, CurrentGameFlags);

    // The title track plays once per visit; MusicChannel keeps its handle after the track ends.
    if (MusicChannel == 0)
        StartMusicTrack(TitleMusic);

    int rise = 800 - TitleSlide * 25;   // prompt and logo travel in from 800 units away
    SetDrawColour(255, 255, 255, 1.0f);
    GfxSetFont(FontTable[7]);
    DrawTextAligned(w / 2, static_cast<int>(static_cast<float>(h) * 0.75f + static_cast<float>(rise)),
                    StartPromptText(), 1, 1);

    // The poll of the previous frame decides, so a run starts the frame after a control is seen.
    if (TitleStartHeld == 1 && TitleStartLatch == 0 && SettingsPanelOffset < -250)
        PlayOneRun(w, h);

    TitleStartHeld = AnyStartControlDown();
    if (TitleStartHeld == 0)
        TitleStartLatch = 0;

    CurrentGameMode = 0;
    SetDrawScale(1.4f);
    rise = 800 - TitleSlide * 25;   // back to the start after a run
    GfxDrawImage(GameLogoImage, static_cast<float>(w / 2), static_cast<float>((h / 2 - 160) - rise), 0);

    FinishFrame(TargetFrameRate, 1, 1);

    bool escapeHeld = InKeyDown(KeyEscape);
    if (!escapeHeld)
        TitleEscapeLatch = 0;
    return TitleEscapeLatch == 0 && escapeHeld ? 1 : 0;
}

void TitleScreen()
{
    while (!TitleScreenFrame()) {
    }
    Farewell();
}
