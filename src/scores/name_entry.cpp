// name_entry.cpp -- entering the player's name after a run
#include "scores/name_entry.h"

#include <cmath>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "platform/input.h"
#include "platform/render.h"
#include "platform/system.h"
#include "scores/score_file.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/startup.h"
#include "util/engine_test.h"

namespace {

constexpr int KeyBackspace = 8;
constexpr int KeyReturn = 13;
constexpr int KeyEscape = 27;
constexpr int RingSpacing = 48;
constexpr float BackdropPhaseStep = 0.8f;

// The press that ended the run (or confirmed the name) must not act again.
void WaitForRelease()
{
    while (InKeyDown(KeyEscape) || InKeyDown(KeyReturn) || InMouseDown(1))
        SysSleep(5);
}

// Nested rings that stream outward one unit per frame while their colours drift with the phases.
void DrawRings(NameEntryState& state)
{
    const int W = VirtualWidth, H = VirtualHeight;
    for (float& phase : BackdropPhases)
        phase += BackdropPhaseStep;
    state.ring = (state.ring + 1) % RingSpacing;
    const float aspect = static_cast<float>(H) / static_cast<float>(W);
    int* channel[3] = {&state.r, &state.g, &state.b};
    for (int x = -96 - state.ring; x <= W / 2; x += RingSpacing) {
        for (int c = 0; c < 3; ++c) {
            double target = std::fmod(static_cast<double>(x / 4 + BackdropPhases[c]), 256.0);
            double v = *channel[c];
            *channel[c] = static_cast<int>(v - (v - target) / 6.0);
        }
        SetDrawColour(static_cast<float>(state.r), static_cast<float>(state.g), static_cast<float>(state.b), 1.0f);
        if (x > -RingSpacing) {
            float y = x * aspect;
            GfxDrawRect(static_cast<float>(x), y, static_cast<float>(W - 2 * x), H - 2 * y);
        }
    }
}

}  // namespace

bool NameEntryFrame(NameEntryState& state)
{
    const int W = VirtualWidth, H = VirtualHeight;
    BeginFrame(1);
    ResetDrawState();
    DrawRings(state);
    ResetDrawState();

    // One typed character per frame; the rest wait in the queue. "|" separates the fields of the
    // score file, so it never enters a name.
    int ch = InGetChar();
    if (ch > 31 && ch < 256 && ch != '|')
        PlayerName += static_cast<char>(ch);
    if (InKeyHit(KeyBackspace) > 0 && !PlayerName.empty())
        PlayerName.pop_back();

    SetDrawColour(0, 255, 0);
    GfxSetFont(FontTable[6]);
    DrawTextAligned(W / 2, H / 2 - 100, "Enter Your Name", 1, 1);
    GfxSetFont(FontTable[5]);
    const char* cursor = Clock() % 600 < 300 ? "_" : " ";
    DrawTextAligned(W / 2 - GfxTextWidth(PlayerName) / 2, H / 2, PlayerName + cursor, 0, 1);

    return InKeyHit(KeyReturn) > 0 || InMouseDown(1) || InKeyDown(KeyEscape);
}

void EnterName()
{
    InFlushKeys();
    WaitForRelease();
    NameEntryState state;
    bool confirmed = false;
    while (!confirmed) {
        confirmed = NameEntryFrame(state);
        FinishFrame(TargetFrameRate, 0, 1);
    }
    SysSeedRandom(Clock());
    WaitForRelease();
}
