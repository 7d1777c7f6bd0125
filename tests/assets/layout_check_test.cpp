// The layout check reads every line a widget reports, however many.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <string>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "flows/layout_check.h"
#include "shipped_game_app.h"

namespace {

// As large as the screen, with nine lines: eight with nothing to show and a ninth past the
// screen's right edge.
class NineLines : public ScriptWidget {
public:
    NineLines(Widget* parent, const Font* font, int width, int height)
        : ScriptWidget(parent, nullptr, nullptr, nullptr), font_(font), width_(width), height_(height)
    {
    }
    Size& GetPreferredSize(Size& out) override
    {
        out = Size{width_, height_};
        return out;
    }
    int GetTextPlaces(TextPlace* out, int max) override
    {
        for (int i = 0; i < 8 && i < max; ++i)
            out[i] = TextPlace();
        if (max > 8)
            out[8] = PlaceText(font_, width_ - 2, height_ / 2, "NINTH");
        return 9;
    }

private:
    const Font* font_;
    int width_, height_;
};

}  // namespace

TEST(LayoutCheck, ReadsTheNinthLine)
{
    ShippedGameApp app(640, 480, "menu_dialogs.txt", "root_menu_look");
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
    GameScreen* screen = app.GetStartMenu();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ExpectLaidOut(&app, "backdrop"), 0);

    NineLines lines(screen, app.GetSmallFont(), 640, 480);
    ASSERT_TRUE(screen->AddChild(&lines));
    ::testing::TestPartResultArray failures;
    int findings = 0;
    {
        ::testing::ScopedFakeTestPartResultReporter quiet(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        findings = ExpectLaidOut(&app, "nine lines");
    }
    EXPECT_GT(findings, 0);
    ASSERT_EQ(failures.size(), findings);
    for (int i = 0; i < failures.size(); ++i)
        EXPECT_NE(std::string(failures.GetTestPartResult(i).message()).find("\"NINTH\""), std::string::npos)
            << failures.GetTestPartResult(i).message();
}
