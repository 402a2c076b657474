// display.cpp -- starting the platform, display modes, opening and closing the window, presenting
#include "display.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "input.h"
#include "platform_internal.h"
#include "platform_state.h"
#include "system.h"

// ---- Display state -----------------------------------------------------------------------------
SDL_Window* DisplayWindow;
bool DisplayOpen;
int DisplayPixelWidth, DisplayPixelHeight;
int DisplayVirtualWidth, DisplayVirtualHeight;
int PresentCount;

static std::string WindowTitle;
static int SelectedSlot = EngineOpenGL;
static int OpenSlot = EngineOpenGL;
static const RenderBackend* OpenBackend;
static std::vector<VidMode> ModeList;  // the real platform's modes, read again by VidModeCount

static const RenderBackend* BackendOfSlot(int slot)
{
    switch (slot) {
    case EngineOpenGL: return &OpenGLBackend;
    case EngineSdl: return &SdlRendererBackend;
    default: return &SoftwareBackend;
    }
}

void PlatformStart()
{
    PlatformIsHeadless = false;
    SysResetClock();
    // Without a desktop session bus, SDL's D-Bus connection would launch a bus daemon of its own
    // (slow, and it can stall start-up); tell D-Bus there is none instead.
    if (!getenv("DBUS_SESSION_BUS_ADDRESS")) setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
    // SDL turns Ctrl+C and a polite kill into a close request, so they too end through the
    // farewell, which saves the settings and scores.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_EVENTS) != 0) {
        fprintf(stderr, "SDL start failed: %s\n", SDL_GetError());
        // Without video there is no window, but the events and joysticks may still work.
        SDL_Init(SDL_INIT_JOYSTICK | SDL_INIT_EVENTS);
    }
    InOpenJoysticks();
    SndStartUp(false);
}

void VidSetTitle(const std::string& title)
{
    WindowTitle = title;
    if (DisplayWindow)
        SDL_SetWindowTitle(DisplayWindow, title.c_str());
}

// ---- Modes -------------------------------------------------------------------------------------

static void ReadModes()
{
    ModeList.clear();
    if (PlatformIsHeadless || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(0, i, &m) == 0)
            ModeList.push_back({m.w, m.h, int(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
    }
}

static const std::vector<VidMode>& Modes()
{
    if (PlatformIsHeadless)
        return TestDisplayModes;
    if (ModeList.empty())
        ReadModes();
    return ModeList;
}

int VidModeCount()
{
    if (!PlatformIsHeadless)
        ReadModes();  // monitors come and go; the game asks once per display change
    return int(Modes().size());
}

VidMode VidModeAt(int i)
{
    const std::vector<VidMode>& modes = Modes();
    if (i < 0 || i >= int(modes.size()))
        return {0, 0, 0, 0};
    return modes[i];
}

bool VidModeExists(int width, int height, int depth)
{
    for (const VidMode& m : Modes())
        if (m.width == width && m.height == height && m.depth == depth)
            return true;
    return false;
}

// ---- Engines -----------------------------------------------------------------------------------

void VidSelectEngine(int slot)
{
    if (slot >= 0 && slot < EngineSlotCount)
        SelectedSlot = slot;
}

int VidEngine()
{
    return DisplayOpen ? OpenSlot : SelectedSlot;
}

const char* VidEngineName(int slot)
{
    switch (slot) {
    case EngineOpenGL: return "OpenGL";
    case EngineSdl: return "SDL Renderer";
    case EngineSoftware: return "Software";
    default: return "";
    }
}

// ---- Opening and closing -----------------------------------------------------------------------

// Finds the SDL display mode for a full-screen request: same size and depth, the refresh rate
// nearest the one asked for.
static bool FindFullscreenMode(int width, int height, int depth, int refresh, SDL_DisplayMode& out)
{
    bool found = false;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(0, i, &m) != 0 || m.w != width || m.h != height ||
            int(SDL_BITSPERPIXEL(m.format)) != depth)
            continue;
        if (!found || std::abs(m.refresh_rate - refresh) < std::abs(out.refresh_rate - refresh))
            out = m;
        found = true;
    }
    return found;
}

static SDL_Window* OpenWindow(const RenderBackend* backend, int width, int height, int depth, int refresh)
{
    Uint32 flags = SDL_WINDOW_HIDDEN | backend->windowFlags;
    SDL_Window* window = SDL_CreateWindow(WindowTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          width, height, flags);
    if (!window)
        return nullptr;
    if (depth != 0) {
        SDL_DisplayMode mode;
        bool exclusive = FindFullscreenMode(width, height, depth, refresh, mode) &&
                         SDL_SetWindowDisplayMode(window, &mode) == 0 &&
                         SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
        if (!exclusive)
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    SDL_ShowWindow(window);
    return window;
}

static void StartDrawing(const RenderBackend* backend, int width, int height)
{
    OpenBackend = backend;
    OpenSlot = SelectedSlot;
    DisplayOpen = true;
    DisplayPixelWidth = width;
    DisplayPixelHeight = height;
    // A new display draws in its own pixels until the game chooses a virtual area.
    DisplayVirtualWidth = width;
    DisplayVirtualHeight = height;
    RenderBegin(backend, width, height);
    RenderSetVirtual(width, height);
    InClearHeld();
}

bool VidOpen(int width, int height, int depth, int refresh)
{
    if (DisplayOpen)
        VidClose();
    if (width <= 0 || height <= 0)
        return false;

    if (PlatformIsHeadless) {
        // Every slot draws with the software renderer into memory (or with nothing at all when a
        // benchmark asks); the slot is still reported.
        const RenderBackend* backend = TestNullRenderer ? &NullBackend : &SoftwareBackend;
        if (TestEngineFails[SelectedSlot] || !backend->Init(nullptr, width, height))
            return false;
        StartDrawing(backend, width, height);
        return true;
    }

    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    const RenderBackend* backend = BackendOfSlot(SelectedSlot);
    SDL_Window* window = OpenWindow(backend, width, height, depth, refresh);
    if (!window) {
        fprintf(stderr, "Window failed: %s\n", SDL_GetError());
        return false;
    }
    int w = width, h = height;
    SDL_GetWindowSize(window, &w, &h);  // full screen on the desktop mode may differ from the request
    if (!backend->Init(window, w, h)) {
        SDL_DestroyWindow(window);
        return false;
    }
    DisplayWindow = window;
    StartDrawing(backend, w, h);
    SDL_StartTextInput();
    if (!PointerVisible)
        SDL_ShowCursor(SDL_DISABLE);
    return true;
}

void VidClose()
{
    if (!DisplayOpen)
        return;
    RenderEnd();
    OpenBackend->Shutdown();
    if (DisplayWindow)
        SDL_DestroyWindow(DisplayWindow);
    DisplayWindow = nullptr;
    OpenBackend = nullptr;
    DisplayOpen = false;
    InClearHeld();
}

bool VidIsOpen()
{
    return DisplayOpen;
}

// ---- Drawing area and presenting ---------------------------------------------------------------

void VidSetVirtualResolution(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    DisplayVirtualWidth = width;
    DisplayVirtualHeight = height;
    if (DisplayOpen)
        RenderSetVirtual(width, height);
}

int VidVirtualWidth()
{
    return DisplayVirtualWidth;
}

int VidVirtualHeight()
{
    return DisplayVirtualHeight;
}

int VidWidth()
{
    return DisplayPixelWidth;
}

int VidHeight()
{
    return DisplayPixelHeight;
}

void VidPresent(bool vsync)
{
    if (DisplayOpen) {
        RenderFlush();
        OpenBackend->Present(vsync);
    }
    PresentCount++;
    InPump();
}

void VidFinishDrawing()
{
    if (DisplayOpen) {
        RenderFlush();
        if (OpenBackend->Finish) OpenBackend->Finish();
    }
}

bool VidCloseRequested()
{
    InPumpIfDue();
    bool requested = CloseRequest;
    CloseRequest = false;
    return requested;
}
