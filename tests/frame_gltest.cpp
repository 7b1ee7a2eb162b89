#include "support/gl_context.h"

#include "frame.h"
#include "values/mouse.h"

namespace {

class FrameTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        held_keys.clear();
    }

    static void push_key(Uint32 type, SDL_Keycode sym)
    {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = sym;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    static void push_button(Uint32 type, Uint8 button, int x, int y)
    {
        SDL_Event e{};
        e.type = type;
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
};

TEST_F(FrameTest, TenEventsAFrameTheEleventhDropped)
{
    for (SDL_Keycode k = 'a'; k < 'a' + 12; ++k)
        push_key(SDL_KEYDOWN, k);
    pump_events();
    EXPECT_EQ(held_keys.size(), 10u);
    EXPECT_EQ(held_keys.count('j'), 1u);
    EXPECT_EQ(held_keys.count('k'), 0u);  // polled and dropped
    pump_events();
    EXPECT_EQ(held_keys.count('l'), 1u);  // waited for the next frame
    EXPECT_EQ(held_keys.count('k'), 0u);
}

TEST_F(FrameTest, KeysAreHeldLowerCaseUntilReleased)
{
    push_key(SDL_KEYDOWN, 'Q');
    push_key(SDL_KEYDOWN, SDLK_F1);
    pump_events();
    EXPECT_EQ(held_keys.count('q'), 1u);
    EXPECT_EQ(held_keys.count(SDLK_F1), 1u);
    push_key(SDL_KEYUP, 'q');
    pump_events();
    EXPECT_EQ(held_keys.count('q'), 0u);
    check_quit_keys();  // 'q' released before the test: still running
}

TEST_F(FrameTest, MouseIsNormalisedFromTheLowerLeft)
{
    cMouse* mouse = cMouse::get_instance();
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 0, 0);
    push_button(SDL_MOUSEBUTTONDOWN, 4, 640, 360);
    pump_events();
    EXPECT_FLOAT_EQ(mouse->press_pos.x, 0.5f);
    EXPECT_FLOAT_EQ(mouse->press_pos.y, 0.5f);
    EXPECT_TRUE(mouse->held[SDL_BUTTON_LEFT]);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 0, 0);
    pump_events();
    EXPECT_EQ(mouse->press_pos, (Vec3<float>{0.0f, 1.0f, 0.0f}));

    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0);
    push_button(SDL_MOUSEBUTTONUP, 4, 0, 0);
    pump_events();
    EXPECT_FALSE(mouse->held[SDL_BUTTON_LEFT]);
    EXPECT_TRUE(mouse->held[4]);  // the wheel flags belong to their consumer
}

// Escape, a held 'q' and the window's quit request are played through by
// the run.quit_paths test.

}  // namespace
