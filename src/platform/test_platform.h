// test_platform.h -- the headless platform for tests
//
// TestPlatformStart replaces PlatformStart: no window and no SDL; the display is the software
// renderer drawing into memory, the clock is virtual (SysSleep advances it, nothing waits), input
// comes from the test, audio is the silent back end recording what it was asked to do, and SysExit
// calls the exit hook instead of ending the process.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "display.h"

void TestPlatformStart();
bool TestPlatformActive();

// Clock
void TestSetClock(int ms);
void TestAdvanceClock(int ms);

// Display
void TestSetDisplayModes(const std::vector<VidMode>& modes);  // default: a handful of 4:3, 16:9, 16:10 modes
void TestFailEngine(int slot, bool fail);                     // VidOpen with that slot then fails
int TestPresentCount();                                       // VidPresent calls so far
void TestUseNullRenderer(bool on);                            // later VidOpen calls draw nothing at all (for timing the game's own work)

// Input: the test sets what is held; hits and typed characters queue as a real keyboard would
void TestKeyDown(int key);
void TestKeyUp(int key);
void TestReleaseAll();
void TestTypeChar(int ch);
void TestMouseMove(float x, float y);            // virtual units
void TestMouseButton(int button, bool down);
void TestRequestClose();
// Called on every input pump with the virtual clock, so a test can script input over time inside a
// loop it does not control (a wait for a key, a modal screen).
void TestSetInputScript(std::function<void(int clockMs)> script);

// Joysticks
int TestAddJoystick(const std::string& name, int buttonMask, bool hasHat);  // returns its port
void TestJoyAxis(int port, int axis, float value);
void TestJoyHat(int port, float hat);
void TestJoyButton(int port, int button, bool down);

// Audio: every call of the audio layer on the silent back end, in order
struct TestSoundCall {
    std::string op;     // "load", "alloc", "cue", "resume", "stop", "volume", "pan", "rate"
    int sound = 0, channel = 0;
    float value = 0;
    std::string path;
};
const std::vector<TestSoundCall>& TestSoundLog();
void TestClearSoundLog();
void TestFinishSound(int channel);               // the channel reaches its end

// Exit: SysExit calls this hook (it must not return normally: throw from it)
void TestSetExitHook(std::function<void(int code)> hook);
