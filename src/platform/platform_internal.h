// platform_internal.h -- how the parts of the platform layer start and reach one another
// (included only by src/platform/*.cpp)
#pragma once
#include "render_backend.h"

// Headless mode (tests): set by TestPlatformStart before anything else starts.
bool PlatformHeadless();

// Audio layer (audio*.cpp): started by PlatformStart / TestPlatformStart. Headless starts only the
// silent back end, which then records every call for TestSoundLog.
void SndStartUp(bool headless);

// Renderer front end (render.cpp), driven by the display code (display.cpp):
void RenderBegin(const RenderBackend* backend, int displayWidth, int displayHeight);  // after the back end's Init
void RenderEnd();                                    // before the back end's Shutdown; every image and font dies
void RenderSetVirtual(int virtualWidth, int virtualHeight);
void RenderFlush();                                  // hands queued quads to the back end (before present and grab)
const RenderBackend* RenderCurrentBackend();         // null when no display is open
