// test_platform.cpp -- the headless platform for tests: virtual clock, scripted input, memory display
#include "test_platform.h"

#include <algorithm>

#include "input.h"
#include "platform_internal.h"
#include "platform_state.h"

// ---- Headless platform state -------------------------------------------------------------------
std::vector<VidMode> TestDisplayModes;
bool TestEngineFails[EngineSlotCount];
bool TestNullRenderer;
std::function<void(int clockMs)> TestInputScript;

static std::vector<VidMode> DefaultTestModes()
{
    // What a typical desktop offers: the small sizes also at the old depths, all at 60 Hz.
    static const int sizes[][2] = {{640, 480},   {800, 600},   {1024, 768},  {1280, 720},  {1280, 800},
                                   {1280, 1024}, {1366, 768},  {1600, 900},  {1680, 1050}, {1920, 1080}};
    std::vector<VidMode> modes;
    for (const auto& size : sizes) {
        modes.push_back({size[0], size[1], 32, 60});
        if (size[0] <= 1280)
            modes.push_back({size[0], size[1], 24, 60});
        if (size[0] <= 1024)
            modes.push_back({size[0], size[1], 16, 60});
    }
    return modes;
}

void TestPlatformStart()
{
    PlatformIsHeadless = true;
    SysResetClock();
    TestDisplayModes = DefaultTestModes();
    std::fill(std::begin(TestEngineFails), std::end(TestEngineFails), false);
    TestNullRenderer = false;
    PresentCount = 0;
    SndStartUp(true);
}

bool TestPlatformActive()
{
    return PlatformIsHeadless;
}

// ---- Clock -------------------------------------------------------------------------------------

void TestSetClock(int ms)
{
    VirtualClockMs = ms;
}

void TestAdvanceClock(int ms)
{
    if (ms > 0)
        VirtualClockMs += ms;
}

// ---- Display -----------------------------------------------------------------------------------

void TestSetDisplayModes(const std::vector<VidMode>& modes)
{
    TestDisplayModes = modes;
}

void TestFailEngine(int slot, bool fail)
{
    if (slot >= 0 && slot < EngineSlotCount)
        TestEngineFails[slot] = fail;
}

int TestPresentCount()
{
    return PresentCount;
}

void TestUseNullRenderer(bool on)
{
    TestNullRenderer = on;
}

// ---- The null renderer -------------------------------------------------------------------------
// Takes every texture and batch and draws nothing, so a benchmark times the game and the renderer's
// front end without any rasterizing. Texture ids only count up; grabbed pixels read as clear.

namespace {

int NullNextTexture;
int NullBatches, NullBatchesLastFrame;

bool NullInit(SDL_Window*, int, int)
{
    NullNextTexture = 1;
    NullBatches = NullBatchesLastFrame = 0;
    return true;
}

void NullShutdown() {}

int NullCreateTexture(int, int, const uint32_t*, bool)
{
    return NullNextTexture++;
}

void NullUpdateTexture(int, int, int, int, int, const uint32_t*) {}
void NullDeleteTexture(int) {}
void NullClear(uint32_t) {}

void NullSubmit(const QuadVertex*, int, const QuadBatch*, int batchCount)
{
    NullBatches += batchCount;
}

void NullPresent(bool)
{
    NullBatchesLastFrame = NullBatches;
    NullBatches = 0;
}

void NullGrabPixels(int, int, int width, int height, uint32_t* out)
{
    if (width > 0 && height > 0)
        std::fill(out, out + size_t(width) * size_t(height), 0u);
}

int NullDrawCalls()
{
    return NullBatchesLastFrame;
}

}  // namespace

const RenderBackend NullBackend = {"Null", 0, NullInit, NullShutdown, NullCreateTexture, NullUpdateTexture,
                                   NullDeleteTexture, NullClear, NullSubmit, NullPresent, NullGrabPixels,
                                   NullDrawCalls, nullptr};

// ---- Keyboard and mouse ------------------------------------------------------------------------

void TestKeyDown(int key)
{
    InPressKey(key, false);
}

void TestKeyUp(int key)
{
    InReleaseKey(key);
}

void TestReleaseAll()
{
    for (int key = 0; key < KeyCodeCount; key++)
        if (KeyHeld[key])
            InReleaseKey(key);
    for (bool& held : MouseHeld)
        held = false;
}

void TestTypeChar(int ch)
{
    InQueueChar(ch);
}

void TestMouseMove(float x, float y)
{
    float sx = DisplayVirtualWidth > 0 && DisplayPixelWidth > 0 ? float(DisplayPixelWidth) / DisplayVirtualWidth : 1;
    float sy = DisplayVirtualHeight > 0 && DisplayPixelHeight > 0 ? float(DisplayPixelHeight) / DisplayVirtualHeight : 1;
    MousePixelX = x * sx;
    MousePixelY = y * sy;
}

void TestMouseButton(int button, bool down)
{
    if (button < 1 || button >= MouseButtonCount)
        return;
    if (down && !MouseHeld[button])
        MouseHits[button]++;
    MouseHeld[button] = down;
}

void TestRequestClose()
{
    CloseRequest = true;
}

void TestSetInputScript(std::function<void(int clockMs)> script)
{
    TestInputScript = std::move(script);
}

// ---- Joysticks ---------------------------------------------------------------------------------

int TestAddJoystick(const std::string& name, int buttonMask, bool hasHat)
{
    if (JoyPortCount >= JoystickPortCount)
        return -1;
    JoyPort& port = JoyPorts[JoyPortCount];
    port = JoyPort{};
    port.name = name;
    port.buttonMask = buttonMask;
    port.hasHat = hasHat;
    return JoyPortCount++;
}

void TestJoyAxis(int port, int axis, float value)
{
    if (port < 0 || port >= JoyPortCount || axis < 0 || axis >= JoyAxisCount)
        return;
    JoyPorts[port].axes[axis] = std::clamp(value, -1.0f, 1.0f);
}

void TestJoyHat(int port, float hat)
{
    if (port < 0 || port >= JoyPortCount || !JoyPorts[port].hasHat)
        return;
    JoyPorts[port].hat = hat;
}

void TestJoyButton(int port, int button, bool down)
{
    if (port < 0 || port >= JoyPortCount || button < 0 || button >= 32)
        return;
    if (down)
        JoyPorts[port].buttons |= 1u << button;
    else
        JoyPorts[port].buttons &= ~(1u << button);
}

// ---- Exit --------------------------------------------------------------------------------------

void TestSetExitHook(std::function<void(int code)> hook)
{
    TestExitHook = std::move(hook);
}
