// The instructions and the credits on the shipped data at every resolution: their parts lie on
// the screen apart from one another in every language, the demonstrations keep to the screen and
// loop, both exits lead on, the "don't show again" box reaches the options file, and the credits
// scroll, drag and fling. Frames are written to look/help_<W>x<H>_*.png.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "game/help/about_screen.h"
#include "game/help/help_scene.h"
#include "game/help/help_screen.h"
#include "shipped_game_app.h"
#include "support/widget_box.h"

namespace {

constexpr int kSkipHelpOffset = 5736;

// The shipped application making the real help and about screens, with the events that reach it.
class HelpApp : public ShippedGameApp {
public:
    HelpApp(int width, int height) : ShippedGameApp(width, height, "keloui.txt", "root_startmenu")
    {
        GetProfiles()->mute = true;
        // The loader holds every set; the shadows are only looked at.
        shadow_ = GetSpriteList()->FindByName("BallShadow");
        if (!shadow_ || shadow_->Load().failed())
            shadow_ = nullptr;
    }
    ~HelpApp() override
    {
        DestroyScreens();
        if (shadow_)
            shadow_->Release();
    }
    GameScreen* NewScreen(int slot) override
    {
        if (slot == kSlotHelp || slot == kSlotAbout)
            return GameApp::NewScreen(slot);
        return ShippedGameApp::NewScreen(slot);
    }
    bool OnEvent(Widget* sender, int code, const char* name, int param) override
    {
        if (code >= kEventPlayLevel)
            events.push_back(code);
        return ShippedGameApp::OnEvent(sender, code, name, param);
    }
    HelpScreen* Help() const { return dynamic_cast<HelpScreen*>(screens_[kSlotHelp]); }
    AboutScreen* About() const { return dynamic_cast<AboutScreen*>(screens_[kSlotAbout]); }
    // Lets the fade-in run out.
    void Settle()
    {
        for (int i = 0; i < 12; ++i)
            Update();
    }
    std::string SavePath(const char* file)
    {
        return hostpath::ToHost((std::string(GetSaveDirectory().CStr()) + file).c_str());
    }

    std::vector<int> events;

private:
    ResourceEntry* shadow_ = nullptr;
};

bool OnScreen(int x, int y, Surface* display)
{
    return x >= 0 && y >= 0 && x < display->GetWidth() && y < display->GetHeight();
}

uint64_t FrameHash(Surface* display)
{
    uint64_t hash = 1469598103934665603ull;
    for (int y = 0; y < display->GetHeight(); ++y)
        for (int x = 0; x < display->GetWidth(); ++x) {
            hash ^= display->GetPixels()[y * display->GetRawWidth() + x];
            hash *= 1099511628211ull;
        }
    return hash;
}

std::string LookPath(const ShippedResolution& r, const std::string& what)
{
    return std::string(KELO_LOOK_DIR) + "/help_" + ShippedName(r) + "_" + what + ".png";
}

}  // namespace

TEST(ShippedHelp, PartsFitAndTheDemonstrationsKeepToTheScreenAtEveryResolution)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        HelpApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        Surface* display = app.GetScreenSurface();
        Box screen{0, 0, display->GetWidth(), display->GetHeight()};
        StringTable* table = app.GetLanguageTable();
        for (int language = 0; language < table->GetLanguageCount(); ++language) {
            SCOPED_TRACE("language " + std::to_string(language));
            ASSERT_TRUE(table->SelectLanguage(language));
            ASSERT_TRUE(app.ShowHelp().ok());
            HelpScreen* help = app.Help();
            ASSERT_NE(help, nullptr);
            std::vector<std::pair<ScriptWidget*, Box>> parts;
            for (const char* name : {"txt_help_1_1", "txt_help_2_1", "txt_help_3_1", "txt_help_4_1", "txt_help_5_1",
                                     "chk_dontshow", "btn_help_ok"}) {
                ScriptWidget* part = ScriptWidget::FindByName(help, name);
                ASSERT_NE(part, nullptr) << name;
                Box box = BoxOf(part);
                EXPECT_TRUE(box.Inside(screen)) << name << " " << box.x << "," << box.y << " " << box.w << "x" << box.h;
                for (const auto& [other, otherBox] : parts)
                    EXPECT_FALSE(box.Overlaps(otherBox))
                        << name << " " << box.x << "," << box.y << " " << box.w << "x" << box.h << " covers "
                        << other->GetName() << " " << otherBox.x << "," << otherBox.y << " " << otherBox.w << "x"
                        << otherBox.h;
                parts.emplace_back(part, box);
                if (auto* text = dynamic_cast<TextMultiWidget*>(part)) {
                    EXPECT_GE(text->GetBlock()->GetLineCount(), 1) << name;
                    EXPECT_LE(text->GetBlock()->GetLineCount(), 3) << name << ": " << text->GetText().CStr();
                }
            }
            // The texts under the top windows end above the swap window's frame, a sixteenth of the
            // frog's height above the frog.
            ResourceEntry* frogSet = app.GetSpriteList()->FindByName("Frog");
            ASSERT_TRUE(frogSet && frogSet->Load().ok());
            int frogHeight = frogSet->GetFrame(0)->GetHeight();
            int frameTop = app.GetLayoutTable().ints[kLayoutHelpSwapFrogY] - frogHeight / 2 - frogHeight / 16;
            frogSet->Release();
            for (const char* name : {"txt_help_1_1", "txt_help_2_1"}) {
                Box box = BoxOf(ScriptWidget::FindByName(help, name));
                EXPECT_LE(box.y + box.h, frameTop) << name;
            }
            // The captions of the demonstrations fit on the screen wherever they slide.
            Font* small = app.GetSmallFont();
            int captionWidth = small->MeasureText(help->GetCaption().CStr());
            for (int frame = 0; frame < 420; ++frame) {
                help->Update();
                for (int page = 0; page < kHelpPageCount; ++page) {
                    HelpScene* scene = help->GetScene(page);
                    ASSERT_NE(scene, nullptr);
                    for (int i = 0; i < scene->GetItemCount(); ++i) {
                        HelpItem* item = scene->GetItem(i);
                        if (item->Kind() == kHelpItemText) {
                            auto* text = static_cast<HelpTextItem*>(item);
                            int centre = text->left + text->GetBlock()->width / 2;
                            ASSERT_GE(centre - captionWidth / 2, 0) << frame;
                            ASSERT_LE(centre + captionWidth / 2, display->GetWidth()) << frame;
                            ASSERT_TRUE(OnScreen(centre, text->top + small->GetLineHeight(), display)) << frame;
                        } else if (item->Kind() == kHelpItemSprite) {
                            auto* sprite = static_cast<HelpSpriteItem*>(item);
                            ASSERT_TRUE(OnScreen(sprite->x.ToInt(), sprite->y.ToInt(), display))
                                << page << " " << item->GetName().CStr() << " frame " << frame;
                        }
                    }
                }
            }
        }
    }
}

TEST(ShippedHelp, PagesLoopOnTheirOwnAndTheCoinNeverRestarts)
{
    HelpApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(app.ShowHelp().ok());
    HelpScreen* help = app.Help();
    ASSERT_NE(help, nullptr);
    HelpScene* coin = help->GetScene(0);
    HelpScene* swap = help->GetScene(2);
    for (int frame = 1; frame <= 127; ++frame) {
        help->Update();
        ASSERT_EQ(help->GetScene(2), swap) << frame;
    }
    EXPECT_FALSE(swap->IsBusy());
    help->Update();
    EXPECT_TRUE(help->GetScene(2)->IsBusy());
    // The other pages are still on their first run; the coin holds for ever.
    int rebuilds = 0;
    for (int frame = 0; frame < 1500; ++frame) {
        HelpScene* before[kHelpPageCount];
        bool idle[kHelpPageCount];
        for (int page = 0; page < kHelpPageCount; ++page) {
            before[page] = help->GetScene(page);
            idle[page] = !before[page]->IsBusy();
        }
        help->Update();
        ASSERT_EQ(help->GetScene(0), coin);
        // A page is built again in the frame after it went idle (a new scene may take the old
        // one's place in memory, so its being busy again tells); a busy page is left alone.
        for (int page = 1; page < kHelpPageCount; ++page) {
            if (idle[page]) {
                ASSERT_TRUE(help->GetScene(page)->IsBusy()) << page << " frame " << frame;
                ++rebuilds;
            } else {
                ASSERT_EQ(help->GetScene(page), before[page]) << page << " frame " << frame;
            }
        }
    }
    EXPECT_GT(rebuilds, 10);
}

TEST(ShippedHelp, FramesRepeatRunByRunAndMove)
{
    std::vector<uint64_t> runs[2];
    for (auto& hashes : runs) {
        HelpApp app(320, 240);
        ASSERT_TRUE(app.Ready());
        ASSERT_TRUE(app.ShowHelp().ok());
        HelpScreen* help = app.Help();
        for (int frame = 1; frame <= 90; ++frame) {
            help->Update();
            if (frame % 30 == 0) {
                help->Draw();
                hashes.push_back(FrameHash(app.GetScreenSurface()));
            }
        }
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_NE(runs[0][0], runs[0][1]);
    EXPECT_NE(runs[0][1], runs[0][2]);
}

TEST(ShippedHelp, OkAndBackLeadToTheMenuOrTheStage)
{
    for (bool beforePlay : {false, true}) {
        for (bool byKey : {false, true}) {
            SCOPED_TRACE(std::to_string(beforePlay) + std::to_string(byKey));
            HelpApp app(640, 480);
            ASSERT_TRUE(app.Ready());
            ASSERT_TRUE((beforePlay ? app.ShowHelpBeforePlay() : app.ShowHelp()).ok());
            app.Settle();
            HelpScreen* help = app.Help();
            ASSERT_NE(help, nullptr);
            EXPECT_EQ(dynamic_cast<HelpScreenInGame*>(help) != nullptr, beforePlay);
            if (byKey) {
                // The press alone does nothing; the release acts.
                EXPECT_TRUE(help->OnKey(kKeyBack, true));
                app.Settle();
                EXPECT_TRUE(app.events.empty());
                EXPECT_TRUE(help->OnKey(kKeyBack, false));
            } else {
                Box ok = BoxOf(ScriptWidget::FindByName(help, "btn_help_ok"));
                app.OnPointer(ok.x + ok.w / 2, ok.y + ok.h / 2, 1);
                app.OnPointer(ok.x + ok.w / 2, ok.y + ok.h / 2, 2);
            }
            app.Settle();
            ASSERT_FALSE(app.events.empty());
            EXPECT_EQ(app.events.back(), beforePlay ? kEventPlayLevel : kEventStartMenu);
            if (!beforePlay) {
                EXPECT_NE(app.GetStartMenu(), nullptr);
            }
        }
    }
}

TEST(ShippedHelp, TheMenusInstructionsAndAboutButtonsOpenTheirScreens)
{
    HelpApp app(320, 240);
    ASSERT_TRUE(app.Ready());
    ASSERT_TRUE(app.ShowStartMenu());
    app.Settle();
    app.OnEvent(&app, kMsgCommand, "btn_help_instructions", 0);
    app.Settle();
    EXPECT_NE(app.Help(), nullptr);
    EXPECT_EQ(dynamic_cast<HelpScreenInGame*>(app.Help()), nullptr);
    ASSERT_TRUE(app.ShowStartMenu());
    app.Settle();
    app.OnEvent(&app, kMsgCommand, "btn_help_about", 0);
    app.Settle();
    EXPECT_NE(app.About(), nullptr);
    EXPECT_EQ(app.events, (std::vector<int>{kEventInstructions, kEventAbout}));
}

TEST(ShippedHelp, TheDontShowBoxIsStoredAtOnceAndReachesTheOptionsFile)
{
    HelpApp app(400, 240);
    ASSERT_TRUE(app.Ready());
    ASSERT_FALSE(app.GetProfiles()->skipHelp);
    ASSERT_TRUE(app.ShowHelpBeforePlay().ok());
    app.Settle();
    auto* box = dynamic_cast<CheckBoxWidget*>(ScriptWidget::FindByName(app.Help(), "chk_dontshow"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->IsChecked());
    Box at = BoxOf(box);
    app.OnPointer(at.x + 4, at.y + at.h / 2, 1);
    app.OnPointer(at.x + 4, at.y + at.h / 2, 2);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_TRUE(app.GetProfiles()->skipHelp);
    ASSERT_TRUE(app.SaveOptions());
    std::ifstream file(app.SavePath("global.opt"), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), static_cast<size_t>(kSkipHelpOffset));
    EXPECT_EQ(bytes[kSkipHelpOffset], 1);

    // The next help shows the box ticked.
    ASSERT_TRUE(app.ShowHelp().ok());
    box = dynamic_cast<CheckBoxWidget*>(ScriptWidget::FindByName(app.Help(), "chk_dontshow"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsChecked());
}

TEST(ShippedAbout, TheCreditsCrawlThroughTheWindowAndFollowTheStylus)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        HelpApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        ASSERT_TRUE(app.ShowAbout().ok());
        AboutScreen* about = app.About();
        ASSERT_NE(about, nullptr);
        Surface* display = app.GetScreenSurface();
        ScriptWidget* window = ScriptWidget::FindByName(about, "img_dummy");
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->IsVisible());
        const Rect& clip = about->GetClip();
        EXPECT_EQ(clip.w, BoxOf(window).w);
        EXPECT_TRUE(Box({clip.x, clip.y, clip.w, clip.h}).Inside(Box{0, 0, display->GetWidth(), display->GetHeight()}));
        ASSERT_NE(about->GetCredits(), nullptr);
        // Every line fits the window's width, and there is more than one window of text.
        for (int i = 0; i < about->GetCredits()->GetLineCount(); ++i) {
            const String* line = about->GetCredits()->GetLine(i);
            if (line->CStr()) {
                EXPECT_LE(app.GetSmallFont()->MeasureText(line->CStr()), clip.w) << line->CStr();
            }
        }
        CreditsScroll& scroll = about->GetScroll();
        EXPECT_GT(scroll.maximum.raw, 0);
        EXPECT_EQ(scroll.position, Fixed::FromInt(-clip.h));
        app.Settle();
        // The first lines rising into the window.
        for (int frame = 0; frame < clip.h / 2; ++frame)
            app.Update();
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(display, LookPath(r, "about_start")));
        // The crawl runs at half a pixel a frame below 480 high.
        for (int frame = 0; frame < 2 * clip.h + 40; ++frame)
            app.Update();
        EXPECT_GT(scroll.position.raw, 0);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(display, LookPath(r, "about_middle")));

        // A drag over the backdrop moves the text with the stylus.
        int x = clip.x + clip.w / 2, y = clip.y + 10;
        app.OnPointer(x, y, 1);
        EXPECT_FALSE(scroll.autoScroll);
        scroll.position = Fixed::FromInt(10);
        app.OnPointer(x, y + 10, 3);
        EXPECT_EQ(scroll.position.raw, 0);
        // Pulled past the top, the text is held there and pulled back once let go.
        app.OnPointer(x, y + 10 + clip.h / 3, 3);
        EXPECT_EQ(scroll.position, Fixed::FromInt(-(clip.h / 3)));
        app.Update();
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(display, LookPath(r, "about_pulled")));
        app.OnPointer(x, y + 10 + clip.h / 3, 2);
        for (int frame = 0; frame < 60; ++frame)
            app.Update();
        EXPECT_GE(scroll.position.raw, 0);
        EXPECT_LE(scroll.position, scroll.maximum);

        // The down key runs to the end and stops there.
        EXPECT_TRUE(about->OnKey(kKeyDown, true));
        for (int frame = 0; frame < 2000 && scroll.position < scroll.maximum; ++frame)
            app.Update();
        EXPECT_EQ(scroll.position, scroll.maximum);
        EXPECT_TRUE(about->OnKey(kKeyDown, false));

        // The OK button leads back to the menu.
        Box ok = BoxOf(ScriptWidget::FindByName(about, "btn_help_ok"));
        app.OnPointer(ok.x + ok.w / 2, ok.y + ok.h / 2, 1);
        app.OnPointer(ok.x + ok.w / 2, ok.y + ok.h / 2, 2);
        app.Settle();
        ASSERT_FALSE(app.events.empty());
        EXPECT_EQ(app.events.back(), kEventStartMenu);
    }
}

TEST(ShippedHelp, LookAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        HelpApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        ASSERT_TRUE(app.ShowHelp().ok());
        HelpScreen* help = app.Help();
        Surface* display = app.GetScreenSurface();
        // Seeded frames: 60 the swap's tap caption and the aim's red shot in flight; 80 the chain
        // opening under its shot; 95 the chain exploding; 140 the second chain.
        int frame = 0;
        for (int shot : {60, 80, 95, 140}) {
            while (frame < shot) {
                help->Update();
                ++frame;
            }
            help->Draw();
            EXPECT_TRUE(WriteScreenPng(display, LookPath(r, "frame" + std::to_string(shot))));
        }
        ASSERT_TRUE(app.ShowHelpBeforePlay().ok());
        for (int i = 0; i < 40; ++i)
            app.Update();
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(display, LookPath(r, "before_stage")));
        if (r.width == 240) {
            ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(1));
            ASSERT_TRUE(app.ShowHelp().ok());
            for (int i = 0; i < 60; ++i)
                app.Update();
            app.Draw();
            EXPECT_TRUE(WriteScreenPng(display, LookPath(r, "deDE")));
        }
    }
}
