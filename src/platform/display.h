// display.h -- the window or full-screen display, its modes, the virtual drawing area and presenting
#pragma once
#include <string>

// Engine slots. The texts the game shows for 1 and 2 are "DirectX 9" and "DirectX 7";
// on this platform they are SDL's own renderer and our software rasterizer.
constexpr int EngineOpenGL = 0;
constexpr int EngineSdl = 1;
constexpr int EngineSoftware = 2;
constexpr int EngineSlotCount = 3;

struct VidMode {
    int width, height, depth, refresh;
};

void PlatformStart();                                   // once, first thing at start-up: video, audio, joystick layers
void VidSetTitle(const std::string& title);             // window title, also for windows opened later
int VidModeCount();                                     // number of display modes the machine offers
VidMode VidModeAt(int i);                               // mode i, 0 <= i < VidModeCount()
bool VidModeExists(int width, int height, int depth);   // a mode of that size and depth at any refresh rate
void VidSelectEngine(int slot);                         // back end for the next VidOpen (EngineOpenGL...)
int VidEngine();                                        // slot of the open display, or the selected one
const char* VidEngineName(int slot);                    // short name of a slot's back end, for logs and benchmarks
bool VidOpen(int width, int height, int depth, int refresh); // depth 0 opens a window; false when the back end cannot start
void VidClose();                                        // closes the display; handles of images and fonts die with it
bool VidIsOpen();
void VidSetVirtualResolution(int width, int height);    // drawing coordinates mapped onto the whole display
int VidVirtualWidth();
int VidVirtualHeight();
int VidWidth();                                         // display size in pixels
int VidHeight();
void VidPresent(bool vsync);                            // shows the back buffer; also reads pending window events
void VidFinishDrawing();                                // draws what was submitted without showing it (a dropped frame)
bool VidCloseRequested();                               // true once after the window's close button; clears the request
