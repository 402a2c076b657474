// input.cpp -- polled keyboard, typed characters, mouse, window close request and joysticks
#include "input.h"

#include <SDL.h>

#include <algorithm>

#include "platform_internal.h"
#include "platform_state.h"
#include "system.h"

// ---- Input state -------------------------------------------------------------------------------
bool KeyHeld[KeyCodeCount];
int KeyHits[KeyCodeCount];
int TypedChars[TypedCharQueueSize];
int TypedCharHead, TypedCharCount;
float MousePixelX, MousePixelY;
bool MouseHeld[MouseButtonCount];
int MouseHits[MouseButtonCount];
bool PointerVisible = true;
bool CloseRequest;
int LastPumpClock = -1;
JoyPort JoyPorts[JoystickPortCount];
int JoyPortCount;

static bool Pumping;  // guards against an input script that queries input itself

// Windows virtual-key codes of the keys whose SDL keycode does not give them directly
constexpr int VkShift = 16, VkControl = 17, VkAlt = 18;
constexpr int VkLShift = 160, VkRShift = 161, VkLControl = 162, VkRControl = 163, VkLAlt = 164, VkRAlt = 165;
constexpr int VkReturn = 13, VkBackspace = 8;

struct KeyMapEntry {
    SDL_Keycode sdl;
    int vk;
};

// Every key of a UK keyboard that is not a letter or a digit.
static const KeyMapEntry KeyMap[] = {
    {SDLK_BACKSPACE, 8},     {SDLK_TAB, 9},           {SDLK_RETURN, 13},       {SDLK_KP_ENTER, 13},
    {SDLK_PAUSE, 19},        {SDLK_CAPSLOCK, 20},     {SDLK_ESCAPE, 27},       {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},       {SDLK_PAGEDOWN, 34},     {SDLK_END, 35},          {SDLK_HOME, 36},
    {SDLK_LEFT, 37},         {SDLK_UP, 38},           {SDLK_RIGHT, 39},        {SDLK_DOWN, 40},
    {SDLK_PRINTSCREEN, 44},  {SDLK_INSERT, 45},       {SDLK_DELETE, 46},       {SDLK_LGUI, 91},
    {SDLK_RGUI, 92},         {SDLK_APPLICATION, 93},  {SDLK_KP_0, 96},         {SDLK_KP_1, 97},
    {SDLK_KP_2, 98},         {SDLK_KP_3, 99},         {SDLK_KP_4, 100},        {SDLK_KP_5, 101},
    {SDLK_KP_6, 102},        {SDLK_KP_7, 103},        {SDLK_KP_8, 104},        {SDLK_KP_9, 105},
    {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107},     {SDLK_KP_MINUS, 109},    {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},   {SDLK_F1, 112},          {SDLK_F2, 113},          {SDLK_F3, 114},
    {SDLK_F4, 115},          {SDLK_F5, 116},          {SDLK_F6, 117},          {SDLK_F7, 118},
    {SDLK_F8, 119},          {SDLK_F9, 120},          {SDLK_F10, 121},         {SDLK_F11, 122},
    {SDLK_F12, 123},         {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145}, {SDLK_LSHIFT, VkLShift},
    {SDLK_RSHIFT, VkRShift}, {SDLK_LCTRL, VkLControl}, {SDLK_RCTRL, VkRControl}, {SDLK_LALT, VkLAlt},
    {SDLK_RALT, VkRAlt},     {SDLK_MODE, VkRAlt},     {SDLK_MUTE, 173},        {SDLK_VOLUMEDOWN, 174},
    {SDLK_VOLUMEUP, 175},    {SDLK_SEMICOLON, 186},   {SDLK_EQUALS, 187},      {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},       {SDLK_PERIOD, 190},      {SDLK_SLASH, 191},       {SDLK_QUOTE, 192},
    {SDLK_LEFTBRACKET, 219}, {SDLK_BACKSLASH, 220},   {SDLK_RIGHTBRACKET, 221}, {SDLK_HASH, 222},
    {SDLK_BACKQUOTE, 223},
};

static int VirtualKeyOf(const SDL_Keysym& sym)
{
    // The key between left Shift and Z types a backslash too, but has a code of its own.
    if (sym.scancode == SDL_SCANCODE_NONUSBACKSLASH)
        return 226;
    SDL_Keycode k = sym.sym;
    if (k >= SDLK_a && k <= SDLK_z)
        return 'A' + int(k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9)
        return '0' + int(k - SDLK_0);
    for (const KeyMapEntry& entry : KeyMap)
        if (entry.sdl == k)
            return entry.vk;
    // A layout without Latin letters: fall back to where the key sits.
    if (sym.scancode >= SDL_SCANCODE_A && sym.scancode <= SDL_SCANCODE_Z)
        return 'A' + int(sym.scancode - SDL_SCANCODE_A);
    return 0;
}

static int GenericKeyOf(int key)
{
    if (key == VkLShift || key == VkRShift)
        return VkShift;
    if (key == VkLControl || key == VkRControl)
        return VkControl;
    if (key == VkLAlt || key == VkRAlt)
        return VkAlt;
    return 0;
}

// ---- Feeding the state (SDL events or the test platform) ---------------------------------------

static void PressOne(int key, bool repeat)
{
    if (!repeat && !KeyHeld[key])
        KeyHits[key]++;
    KeyHeld[key] = true;
}

void InPressKey(int key, bool repeat)
{
    if (key <= 0 || key >= KeyCodeCount)
        return;
    PressOne(key, repeat);
    if (int generic = GenericKeyOf(key))
        PressOne(generic, repeat);
}

void InReleaseKey(int key)
{
    if (key <= 0 || key >= KeyCodeCount)
        return;
    KeyHeld[key] = false;
    if (int generic = GenericKeyOf(key)) {
        int left = generic == VkShift ? VkLShift : generic == VkControl ? VkLControl : VkLAlt;
        KeyHeld[generic] = KeyHeld[left] || KeyHeld[left + 1];
    }
}

void InQueueChar(int ch)
{
    if (ch <= 0 || ch > 255 || TypedCharCount >= TypedCharQueueSize)
        return;
    TypedChars[(TypedCharHead + TypedCharCount) % TypedCharQueueSize] = ch;
    TypedCharCount++;
}

void InClearHeld()
{
    std::fill(std::begin(KeyHeld), std::end(KeyHeld), false);
    std::fill(std::begin(MouseHeld), std::end(MouseHeld), false);
}

static void QueueUtf8(const char* text)
{
    // UTF-8 to Latin-1: code points above 255 have no place in our fonts and are dropped.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned c = *p;
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0) {
            p++;
            continue;
        }
        unsigned code = extra == 0 ? c : c & (0x3F >> extra);
        int i = 1;
        for (; i <= extra && (p[i] & 0xC0) == 0x80; i++)
            code = (code << 6) | (p[i] & 0x3F);
        if (i <= extra) {  // cut short: skip the broken sequence
            p += i;
            continue;
        }
        p += extra + 1;
        if (code >= 32 && code <= 255 && code != 127)
            InQueueChar(int(code));
    }
}

static int MouseButtonOf(Uint8 sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return 0;
    }
}

static void HandleEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_QUIT:
        CloseRequest = true;
        break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            CloseRequest = true;
        break;
    case SDL_KEYDOWN: {
        int key = VirtualKeyOf(e.key.keysym);
        InPressKey(key, e.key.repeat != 0);
        // A name entry needs these as characters too; text input does not deliver them.
        if (key == VkReturn || key == VkBackspace)
            InQueueChar(key);
        break;
    }
    case SDL_KEYUP:
        InReleaseKey(VirtualKeyOf(e.key.keysym));
        break;
    case SDL_TEXTINPUT:
        QueueUtf8(e.text.text);
        break;
    case SDL_MOUSEMOTION:
        MousePixelX = float(e.motion.x);
        MousePixelY = float(e.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int b = MouseButtonOf(e.button.button);
        if (b == 0)
            break;
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (down && !MouseHeld[b])
            MouseHits[b]++;
        MouseHeld[b] = down;
        MousePixelX = float(e.button.x);
        MousePixelY = float(e.button.y);
        break;
    }
    default:
        break;
    }
}

// ---- Pumping -----------------------------------------------------------------------------------

void InPump()
{
    if (Pumping)
        return;
    Pumping = true;
    int now = SysClock();
    LastPumpClock = now;
    if (PlatformIsHeadless) {
        if (TestInputScript)
            TestInputScript(now);
    } else if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            HandleEvent(e);
    }
    Pumping = false;
}

// Queries read fresh events at most once per millisecond on the real platform. The headless clock
// stands still while a test's loop polls, so there every query pumps (and so runs the input script).
void InPumpIfDue()
{
    if (PlatformIsHeadless || SysClock() != LastPumpClock)
        InPump();
}

// ---- Keyboard ----------------------------------------------------------------------------------

bool InKeyDown(int key)
{
    InPumpIfDue();
    return key > 0 && key < KeyCodeCount && KeyHeld[key];
}

int InKeyHit(int key)
{
    InPumpIfDue();
    if (key <= 0 || key >= KeyCodeCount)
        return 0;
    int hits = KeyHits[key];
    KeyHits[key] = 0;
    return hits;
}

int InGetChar()
{
    InPumpIfDue();
    if (TypedCharCount == 0)
        return 0;
    int ch = TypedChars[TypedCharHead];
    TypedCharHead = (TypedCharHead + 1) % TypedCharQueueSize;
    TypedCharCount--;
    return ch;
}

void InFlushKeys()
{
    InPumpIfDue();
    std::fill(std::begin(KeyHeld), std::end(KeyHeld), false);
    std::fill(std::begin(KeyHits), std::end(KeyHits), 0);
    TypedCharHead = TypedCharCount = 0;
}

// ---- Mouse -------------------------------------------------------------------------------------

static float PixelsPerUnitX()
{
    if (DisplayPixelWidth > 0 && DisplayVirtualWidth > 0)
        return float(DisplayPixelWidth) / float(DisplayVirtualWidth);
    return 1;
}

static float PixelsPerUnitY()
{
    if (DisplayPixelHeight > 0 && DisplayVirtualHeight > 0)
        return float(DisplayPixelHeight) / float(DisplayVirtualHeight);
    return 1;
}

float InMouseX()
{
    InPumpIfDue();
    return MousePixelX / PixelsPerUnitX();
}

float InMouseY()
{
    InPumpIfDue();
    return MousePixelY / PixelsPerUnitY();
}

bool InMouseDown(int button)
{
    InPumpIfDue();
    return button > 0 && button < MouseButtonCount && MouseHeld[button];
}

int InMouseHit(int button)
{
    InPumpIfDue();
    if (button <= 0 || button >= MouseButtonCount)
        return 0;
    int hits = MouseHits[button];
    MouseHits[button] = 0;
    return hits;
}

void InMoveMouse(float x, float y)
{
    MousePixelX = x * PixelsPerUnitX();
    MousePixelY = y * PixelsPerUnitY();
    if (!PlatformIsHeadless && DisplayWindow)
        SDL_WarpMouseInWindow(DisplayWindow, int(MousePixelX), int(MousePixelY));
}

void InShowPointer()
{
    PointerVisible = true;
    if (!PlatformIsHeadless && SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(SDL_ENABLE);
}

void InHidePointer()
{
    PointerVisible = false;
    if (!PlatformIsHeadless && SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(SDL_DISABLE);
}

// ---- Joysticks ---------------------------------------------------------------------------------

void InOpenJoysticks()
{
    JoyPortCount = 0;
    int found = SDL_NumJoysticks();
    for (int i = 0; i < found && JoyPortCount < JoystickPortCount; i++) {
        SDL_Joystick* device = SDL_JoystickOpen(i);
        if (!device)
            continue;
        JoyPort& port = JoyPorts[JoyPortCount++];
        port = JoyPort{};
        port.device = device;
        const char* name = SDL_JoystickName(device);
        port.name = name ? name : "";
        int buttons = std::min(SDL_JoystickNumButtons(device), 31);
        port.buttonMask = buttons > 0 ? int((1u << buttons) - 1) : 0;
        port.hasHat = SDL_JoystickNumHats(device) > 0;
    }
}

static JoyPort* Port(int port)
{
    InPumpIfDue();
    return port >= 0 && port < JoyPortCount ? &JoyPorts[port] : nullptr;
}

int JoyCount()
{
    return JoyPortCount;
}

std::string JoyName(int port)
{
    return port >= 0 && port < JoyPortCount ? JoyPorts[port].name : "";
}

int JoyButtonMask(int port)
{
    return port >= 0 && port < JoyPortCount ? JoyPorts[port].buttonMask : 0;
}

float JoyAxis(int port, int axis)
{
    JoyPort* p = Port(port);
    if (!p || axis < 0 || axis >= JoyAxisCount)
        return 0;
    if (!p->device)
        return p->axes[axis];
    SDL_Joystick* device = static_cast<SDL_Joystick*>(p->device);
    if (axis >= SDL_JoystickNumAxes(device))
        return 0;
    return std::clamp(SDL_JoystickGetAxis(device, axis) / 32767.0f, -1.0f, 1.0f);
}

float JoyHat(int port)
{
    JoyPort* p = Port(port);
    if (!p || !p->hasHat)
        return -1;
    if (!p->device)
        return p->hat;
    switch (SDL_JoystickGetHat(static_cast<SDL_Joystick*>(p->device), 0)) {
    case SDL_HAT_UP: return 0.0f;
    case SDL_HAT_RIGHTUP: return 0.125f;
    case SDL_HAT_RIGHT: return 0.25f;
    case SDL_HAT_RIGHTDOWN: return 0.375f;
    case SDL_HAT_DOWN: return 0.5f;
    case SDL_HAT_LEFTDOWN: return 0.625f;
    case SDL_HAT_LEFT: return 0.75f;
    case SDL_HAT_LEFTUP: return 0.875f;
    default: return -1;
    }
}

bool JoyButton(int port, int button)
{
    JoyPort* p = Port(port);
    if (!p || button < 0 || button >= 31 || !(p->buttonMask & (1 << button)))
        return false;
    if (!p->device)
        return (p->buttons >> button) & 1;
    return SDL_JoystickGetButton(static_cast<SDL_Joystick*>(p->device), button) != 0;
}
