// window_events_test.cpp -- SDL's keyboard, text, mouse and window events as the game's polled input
//
// Runs on the real platform (needs DISPLAY; skipped without one) and feeds events through SDL's
// own queue, so the translation from SDL to our key codes, characters and virtual units is what runs.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/display.h"
#include "platform/input.h"
#include "test_support.h"

namespace {

class WindowEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* display = getenv("DISPLAY");
        if (!display || !*display)
            GTEST_SKIP() << "no DISPLAY";
        static bool started = false;
        if (!started) {
            started = true;
            PlatformStart();
        }
        VidSelectEngine(EngineSoftware);
        ASSERT_TRUE(VidOpen(800, 600, 0, 60));
        InPump();
        InFlushKeys();
        while (InGetChar() != 0) {
        }
        VidCloseRequested();
    }
    void TearDown() override { VidClose(); }

    static void Key(bool down, SDL_Keycode sym, SDL_Scancode scancode, bool repeat = false)
    {
        SDL_Event e = {};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = scancode;
        SDL_PushEvent(&e);
        InPump();
    }
};

TEST_F(WindowEventsTest, KeysOfAUkKeyboardGetTheirCodes)
{
    struct Case {
        SDL_Keycode sym;
        SDL_Scancode scancode;
        int code;
    };
    const Case cases[] = {
        {SDLK_a, SDL_SCANCODE_A, 65},
        {SDLK_z, SDL_SCANCODE_Y, 90},  // a German layout: the letter follows the layout
        {SDLK_7, SDL_SCANCODE_7, 55},
        {SDLK_KP_7, SDL_SCANCODE_KP_7, 103},
        {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 110},
        {SDLK_F11, SDL_SCANCODE_F11, 122},
        {SDLK_RALT, SDL_SCANCODE_RALT, 165},
        {SDLK_UP, SDL_SCANCODE_UP, 38},
        {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 192},
        {SDLK_HASH, SDL_SCANCODE_BACKSLASH, 222},
        {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 223},
        {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220},
        {SDLK_BACKSLASH, SDL_SCANCODE_NONUSBACKSLASH, 226},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
        {SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, 144},
        {SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, 175},
        {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 93},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Key(true, c.sym, c.scancode);
        EXPECT_TRUE(InKeyDown(c.code));
        Key(true, c.sym, c.scancode, true);  // auto-repeat: held, but no new hit
        EXPECT_EQ(InKeyHit(c.code), 1);
        Key(false, c.sym, c.scancode);
        EXPECT_FALSE(InKeyDown(c.code));
    }
}

TEST_F(WindowEventsTest, ModifiersHoldTheirGenericCodes)
{
    Key(true, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT);
    Key(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL);
    EXPECT_TRUE(InKeyDown(161));
    EXPECT_TRUE(InKeyDown(16));
    EXPECT_TRUE(InKeyDown(17));
    EXPECT_FALSE(InKeyDown(18));
    Key(false, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT);
    EXPECT_FALSE(InKeyDown(16));
    EXPECT_TRUE(InKeyDown(17));
}

TEST_F(WindowEventsTest, TypedTextBecomesLatin1CharactersWithReturnAndBackspace)
{
    SDL_Event e = {};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, "a\xC3\xA9\xE2\x98\xBA" "b", sizeof(e.text.text));  // a, e acute, a smiley, b
    SDL_PushEvent(&e);
    InPump();
    Key(true, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE);
    Key(true, SDLK_RETURN, SDL_SCANCODE_RETURN);
    EXPECT_EQ(InGetChar(), 'a');
    EXPECT_EQ(InGetChar(), 0xE9);
    EXPECT_EQ(InGetChar(), 'b');  // the smiley has no Latin-1 code
    EXPECT_EQ(InGetChar(), 8);
    EXPECT_EQ(InGetChar(), 13);
    EXPECT_EQ(InGetChar(), 0);
}

TEST_F(WindowEventsTest, MouseEventsInVirtualUnits)
{
    VidSetVirtualResolution(1600, 1200);
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 400;
    e.motion.y = 150;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.state = SDL_PRESSED;
    e.button.x = 400;
    e.button.y = 150;
    SDL_PushEvent(&e);
    InPump();
    EXPECT_FLOAT_EQ(InMouseX(), 800);
    EXPECT_FLOAT_EQ(InMouseY(), 300);
    EXPECT_TRUE(InMouseDown(2));
    EXPECT_FALSE(InMouseDown(1));
    EXPECT_EQ(InMouseHit(2), 1);
}

TEST_F(WindowEventsTest, ClosingTheWindowIsRequestedOnce)
{
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
    InPump();
    EXPECT_TRUE(VidCloseRequested());
    EXPECT_FALSE(VidCloseRequested());
}

}  // namespace
