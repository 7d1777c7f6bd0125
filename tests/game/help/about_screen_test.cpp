// The about screen on a layout without its window image and without a credits text.
#include <gtest/gtest.h>

#include "engine/graphics/wrapped_text.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/help/about_screen.h"
#include "tests/game/app/screen_test_app.h"

TEST(AboutScreen, WithoutItsWindowTheCreditsTakeTheMiddleHalfAndAnEmptyTextStillShows)
{
    ScreenTestApp app(320, 240);
    app.gameEvents = false;
    AboutScreen* about = new AboutScreen(&app);
    ASSERT_TRUE(app.AddChild(about));
    ASSERT_TRUE(about->Create());
    const Rect& clip = about->GetClip();
    EXPECT_EQ(clip.x, 0);
    EXPECT_EQ(clip.y, 60);
    EXPECT_EQ(clip.w, 320);
    EXPECT_EQ(clip.h, 120);
    ASSERT_NE(about->GetCredits(), nullptr);
    EXPECT_EQ(about->GetCredits()->GetLineCount(), 0);
    EXPECT_EQ(about->GetScroll().maximum.raw, 0);
    EXPECT_EQ(about->GetScroll().position, Fixed::FromInt(-120));

    // The back key's press is swallowed; its release asks for the start menu.
    about->ClearScreenFadingIn();
    EXPECT_TRUE(about->OnKey(kKeyBack, true));
    EXPECT_TRUE(app.reached.empty());
    EXPECT_TRUE(about->OnKey(kKeyBack, false));
    for (int i = 0; i < 12 && app.reached.empty(); ++i)
        app.Update();
    ASSERT_FALSE(app.reached.empty());
    EXPECT_EQ(app.reached.back().code, kEventStartMenu);
    app.RemoveChild(about);
    delete about;
}
