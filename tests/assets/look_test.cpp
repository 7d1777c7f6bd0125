#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "engine/graphics/font.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/root_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/tuner_widget.h"
#include "shipped_app.h"
#include "tests/engine/graphics/image_fixtures.h"

namespace {

// The shipped data as the game's start-up leaves it, plus the sample dialog's pack as the extra
// pack, and the corner exit button handed over.
class LookApp : public ShippedApp {
public:
    LookApp(int width, int height) : ShippedApp(width, height)
    {
        thirdPack_ = new ZipPack(this);
        if (thirdPack_->Open(Path("_look_sample.pak").c_str()).value != kPackOk) {
            delete thirdPack_;
            thirdPack_ = nullptr;
        }
        std::string exit = std::string(GetImageFolder().CStr()) + "ui\\exit_";
        exitNormal_ = LoadImage(this, (exit + "0").c_str(), nullptr).value;
        exitPressed_ = LoadImage(this, (exit + "1").c_str(), nullptr).value;
    }
    bool Ready() const { return thirdPack_ && exitNormal_ && exitPressed_; }

    // The game's font tuning after the language loads: space widths, and 161 below 480 high.
    void TuneFonts()
    {
        Font* small = styles->GetFontEntry(0)->font;
        Font* main = styles->GetFontEntry(1)->font;
        if (GetScreenSurface()->GetHeight() < 480) {
            main->SetSpaceWidth(3);
            small->SetSpaceWidth(3);
            int lead, width, trail;
            small->GetGlyph(33, &lead, &width, &trail);
            small->SetGlyph(161, lead, width, trail);
        } else {
            main->SetSpaceWidth(8);
        }
    }
    Surface* Screen() { return GetScreenSurface(); }
};

// How many distinct colours a rectangle of the screen holds: art and text make many.
size_t ColoursIn(Surface* screen, int x0, int y0, int x1, int y1)
{
    std::vector<bool> seen(65536);
    size_t count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            uint16_t v = screen->GetPixels()[y * screen->GetRawWidth() + x];
            count += !seen[v];
            seen[v] = true;
        }
    return count;
}

}  // namespace

// Builds the sample dialog at every resolution with the shipped art, styles, fonts and texts,
// sets its buttons in each state and writes the frame to look/dialog_<W>x<H>.png.
TEST(ShippedLook, SampleDialogDrawsAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        LookApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        ASSERT_TRUE(app.LoadSpriteScripts());
        ASSERT_TRUE(app.LoadStyles().ok());
        ASSERT_TRUE(app.LoadLanguageTable());
        ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(0));
        app.TuneFonts();
        {
            RootWidget root(&app);
            ASSERT_TRUE(root.LoadLayout("sample_dialog.txt", "root_sample"));
            auto button = [&](const char* name) { return dynamic_cast<ButtonWidget*>(ScriptWidget::FindByName(&root, name)); };
            ButtonWidget* focused = button("btn_sample_focused");
            ButtonWidget* pressed = button("btn_sample_pressed");
            ButtonWidget* disabled = button("btn_sample_disabled");
            auto* mute = dynamic_cast<CheckBoxWidget*>(ScriptWidget::FindByName(&root, "chk_sample_mute"));
            auto* tuner = dynamic_cast<TunerWidget*>(ScriptWidget::FindByName(&root, "tun_sample_sound"));
            ASSERT_TRUE(focused && pressed && disabled && mute && tuner);
            mute->SetChecked(true);
            tuner->SetValue(65);
            disabled->SetEnabled(false);
            ScriptWidget* dialog = ScriptWidget::FindByName(&root, "dlg_sample");
            ASSERT_NE(dialog, nullptr);
            app.SetFocusChild(&root);
            root.SetFocusChild(dialog);
            dialog->SetFocusChild(focused);
            Rect at;
            pressed->GetRect(at);
            pressed->OnPointer(at.x + at.w / 2, at.y + at.h / 2, 1);
            for (int frame = 0; frame < 40; ++frame)
                app.Update();
            app.DrawFrame();
            EXPECT_TRUE(pressed->IsPressed());
            // The panel and its widgets fill the middle of the screen with art and text.
            Surface* screen = app.Screen();
            EXPECT_GT(ColoursIn(screen, r.width / 4, r.height / 4, r.width * 3 / 4, r.height * 3 / 4), 200u);
            std::string png = std::string(KELO_LOOK_DIR) + "/dialog_" + ShippedName(r) + ".png";
            EXPECT_TRUE(WriteScreenPng(screen, png)) << png;
        }
    }
}

// Every style drawn with the small and with the main font, on the dialog's stone, written to
// look/styles_<W>x<H>.png.
TEST(ShippedLook, EveryStyleDrawsInBothFonts)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        LookApp app(r.width, r.height);
        ASSERT_TRUE(app.LoadStyles().ok());
        app.TuneFonts();
        Surface* screen = app.Screen();
        screen->Clear(58, 62, 50);
        int y = 2;
        for (int s = 0; s < app.styles->GetStyleCount(); ++s) {
            FontStyle* style = app.styles->GetStyle(s);
            int x = 4;
            for (int f = 0; f < 2; ++f) {
                Font* font = app.styles->GetFontEntry(f)->font;
                std::string text = std::string(style->name.CStr()) + (f ? " main" : " small") + " \xA1" "Ab!";
                font->DrawText(screen, x, y, text.c_str(), style->r, style->g, style->b, style->effect, 255, nullptr);
                x += font->MeasureText(text.c_str()) + 12;
            }
            y += app.styles->GetFontEntry(1)->font->GetLineHeight();
        }
        EXPECT_GT(ColoursIn(screen, 0, 0, r.width, y), 50u);
        std::string png = std::string(KELO_LOOK_DIR) + "/styles_" + ShippedName(r) + ".png";
        EXPECT_TRUE(WriteScreenPng(screen, png)) << png;
    }
}
