#include "game/screens/start_menu_screen.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/font.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_keys.h"
#include "game/screens/start_menu_button.h"
#include "platform/null/window_hooks.h"
#include "tests/game/app/screen_test_app.h"

namespace {

constexpr int kSkyWidth = 96;

// The game's own start menu on the layout of tests/data/startmenu, with pictures of the test's
// making: a sky whose every column differs, a sun, a glow, 6-pixel pupils and a mask of two
// rectangular sockets.
class MenuApp : public ScreenTestApp {
public:
    MenuApp(int width = 320, int height = 240) : ScreenTestApp(width, height)
    {
        std::string csv = hostpath::FromHost(std::string(KELO_TEST_DATA) + "/startmenu/texts.csv");
        ok = LoadLookAssets() && CreateLanguageTable(csv.c_str()).ok() && GetLanguageTable()->SelectLanguage(0) &&
             PaintArt();
        // Mask at (100, 100); sockets centred at (20, 20) and (60, 20) of it; pupils start there.
        const int places[10] = {100, 100, 20, 20, 60, 20, 120, 120, 160, 120};
        for (int i = 0; i < 10; ++i)
            Layout().ints[static_cast<size_t>(kLayoutEyeMaskX + i)] = places[i];
        Layout().ints[kLayoutSunX] = 40;
        Layout().ints[kLayoutSunY] = 30;
    }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotStartMenu ? GameApp::NewScreen(slot) : ScreenTestApp::NewScreen(slot);
    }
    String GetUiFolder() override
    {
        return String((hostpath::FromHost(std::string(KELO_TEST_DATA) + "/" + ui) + "\\").c_str());
    }
    StartMenuScreen* Menu() { return dynamic_cast<StartMenuScreen*>(GetStartMenu()); }
    // A named player's menu, shown and done fading in; null when the app or menu failed.
    StartMenuScreen* MenuWithPlayer()
    {
        if (!ok)
            return nullptr;
        MakePlayer(1, 0);
        return RestingMenu();
    }
    // The menu shown and done fading in.
    StartMenuScreen* RestingMenu()
    {
        if (!ShowStartMenu())
            return nullptr;
        Menu()->ClearScreenFadingIn();
        return Menu();
    }
    template <typename T = ScriptWidget>
    T* Find(const char* name)
    {
        return dynamic_cast<T*>(ScriptWidget::FindByName(GetStartMenu(), name));
    }
    std::string Art(const std::string& name) { return Host("ui/startmenu/" + name + ".png"); }

    bool ok = false;
    std::string ui = "startmenu";

private:
    bool PaintArt()
    {
        mkdir(Host("ui").c_str(), 0700);
        mkdir(Host("ui/startmenu").c_str(), 0700);
        auto paint = [](const std::string& path, int w, int h, const std::function<int(int, int)>& alpha,
                        int r, int g, int b) {
            auto samples = fixtures::Fill(w, h, 4, [&](int x, int y, unsigned char* p) {
                p[0] = static_cast<unsigned char>(r);
                p[1] = static_cast<unsigned char>(g);
                p[2] = static_cast<unsigned char>(b);
                p[3] = static_cast<unsigned char>(alpha(x, y));
            });
            return fixtures::WritePng(path, w, h, PNG_COLOR_TYPE_RGBA, 8, samples);
        };
        auto opaque = [](int, int) { return 255; };
        // Column x: red from its low five bits, green from the rest; exact in 5:6:5.
        auto sky = fixtures::Fill(kSkyWidth, 8, 3, [](int x, int, unsigned char* p) {
            p[0] = static_cast<unsigned char>((x & 31) << 3);
            p[1] = static_cast<unsigned char>((x >> 5) << 2);
            p[2] = 200;
        });
        auto sockets = [](int x, int y) {
            bool inside = y > 14 && y < 26 && ((x > 8 && x < 32) || (x > 48 && x < 72));
            return inside ? 0 : 255;
        };
        return fixtures::WritePng(Art("startmenu_sky"), kSkyWidth, 8, PNG_COLOR_TYPE_RGB, 8, sky) &&
               paint(Art("mmsun"), 16, 16, opaque, 250, 220, 40) && paint(Art("mmsun_a"), 16, 16, opaque, 255, 255, 255) &&
               paint(Art("mmsunglow_a"), 32, 32, opaque, 128, 128, 128) &&
               paint(Art("mmeyeleft"), 6, 6, opaque, 10, 10, 10) && paint(Art("mmeyeleft_a"), 6, 6, opaque, 255, 255, 255) &&
               paint(Art("mmeyeright"), 6, 6, opaque, 10, 10, 10) &&
               paint(Art("mmeyeright_a"), 6, 6, opaque, 255, 255, 255) &&
               paint(Art("mmeyemask_a"), 80, 40, sockets, 0, 0, 0);
    }
};

// A surface of the size holding only an alpha plane, opaque where the rule says.
Surface* AlphaSurface(Application* app, int w, int h, const std::function<bool(int, int)>& solid)
{
    Surface* surface = new Surface(app);
    auto* alpha = static_cast<uint8_t*>(Alloc(size_t(w) * size_t(h)));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            alpha[y * w + x] = solid(x, y) ? 255 : 0;
    surface->AttachAlpha(alpha, w, h);
    return surface;
}

Surface* Pupil(Application* app, int height)
{
    Surface* surface = new Surface(app);
    surface->Create(6, height);
    return surface;
}

std::string Text(const String& s)
{
    return s.CStr() ? s.CStr() : "";
}

void WriteLevelRecord(MenuApp& app, int mode, int32_t id, int32_t runningScore, int32_t level = 7)
{
    PackMemoryFile stream;
    ASSERT_TRUE(stream.Allocate(16));
    stream.WriteInt32(id);
    stream.WriteInt32(level);
    stream.WriteInt32(runningScore);
    ASSERT_TRUE(app.GetResumeStore()->WriteRecord(GameApp::ResumeKey(app.Profiles().CurrentPlayer()->id, mode),
                                                  &stream, "raw"));
}

TEST(StartMenuEyes, APupilWalksToOnePixelPlusHalfItsHeightInsideTheRim)
{
    MenuApp app;
    // A socket from x 9 to 31 and y 15 to 25 around the eye centre (20, 20); the mask at (100, 50).
    Surface* mask = AlphaSurface(&app, 40, 40, [](int x, int y) { return x <= 8 || x >= 32 || y <= 14 || y >= 26; });
    Surface* pupil = Pupil(&app, 6);
    const Point centre{20, 20}, origin{100, 50};
    struct Case {
        Point pointer, expected;
    } cases[] = {
        // Rim 12 pixels away sideways: 12 - 3 - 1 = 8 from the centre (120, 70).
        {{300, 70}, {128, 70}},
        {{0, 70}, {112, 70}},
        // Rim 6 away up and down: 6 - 3 - 1 = 2.
        {{120, 230}, {120, 72}},
        {{120, 0}, {120, 68}},
    };
    for (const Case& c : cases) {
        Point out{-1, -1};
        EXPECT_TRUE(StartMenuScreen::TrackEye(mask, pupil, centre, origin, c.pointer, out));
        EXPECT_EQ(out.x, c.expected.x) << c.pointer.x << "," << c.pointer.y;
        EXPECT_EQ(out.y, c.expected.y) << c.pointer.x << "," << c.pointer.y;
    }
    // A pupil taller than twice the distance to the rim stays on the centre.
    Surface* tall = Pupil(&app, 14);
    Point out{-1, -1};
    EXPECT_TRUE(StartMenuScreen::TrackEye(mask, tall, centre, origin, {120, 0}, out));
    EXPECT_EQ(out.x, 120);
    EXPECT_EQ(out.y, 70);
    // A tap on the centre, no pupil or no mask leave the pupil where it was.
    out = Point{5, 6};
    EXPECT_FALSE(StartMenuScreen::TrackEye(mask, pupil, centre, origin, {120, 70}, out));
    EXPECT_FALSE(StartMenuScreen::TrackEye(mask, nullptr, centre, origin, {300, 70}, out));
    EXPECT_FALSE(StartMenuScreen::TrackEye(nullptr, pupil, centre, origin, {300, 70}, out));
    EXPECT_EQ(out.x, 5);
    EXPECT_EQ(out.y, 6);
    delete tall;
    delete pupil;
    delete mask;
}

TEST(StartMenuEyes, AWalkWithoutARimStopsAtTheMaskEdgeAndAMaskWithoutAlphaStopsNothing)
{
    MenuApp app;
    Surface* open = AlphaSurface(&app, 40, 40, [](int, int) { return false; });
    Surface* pupil = Pupil(&app, 6);
    Point out;
    // Off the right edge at 20 steps: 20 - 4.
    EXPECT_TRUE(StartMenuScreen::TrackEye(open, pupil, {20, 20}, {0, 0}, {200, 20}, out));
    EXPECT_EQ(out.x, 36);
    EXPECT_EQ(out.y, 20);
    Surface* colourOnly = new Surface(&app);
    colourOnly->Create(40, 40);
    colourOnly->FreeAlpha();
    out = Point{1, 2};
    EXPECT_FALSE(StartMenuScreen::TrackEye(colourOnly, pupil, {20, 20}, {0, 0}, {200, 20}, out));
    EXPECT_EQ(out.x, 1);
    delete colourOnly;
    delete pupil;
    delete open;
}

TEST(StartMenuEyes, BothPupilsFollowTheHeldStylusAndStayWhenItLifts)
{
    MenuApp app;
    ASSERT_TRUE(app.ok);
    StartMenuScreen* menu = app.RestingMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetLeftEye().x, 120);
    EXPECT_EQ(menu->GetRightEye().x, 160);
    // Far right: the left socket's rim is at mask x 32 (12 away), the right one's at 72.
    menu->OnPointer(310, 120, 1);
    EXPECT_TRUE(menu->IsPointerHeld());
    EXPECT_EQ(menu->GetLeftEye().x, 128);
    EXPECT_EQ(menu->GetLeftEye().y, 120);
    EXPECT_EQ(menu->GetRightEye().x, 168);
    // Lifted, and lifted again elsewhere: the pupils keep their places.
    menu->OnPointer(310, 120, 2);
    EXPECT_FALSE(menu->IsPointerHeld());
    menu->OnPointer(0, 0, 2);
    EXPECT_EQ(menu->GetLeftEye().x, 128);
    EXPECT_EQ(menu->GetRightEye().x, 168);
    // A tap on the left eye's centre keeps the left pupil; the right one looks left.
    menu->OnPointer(120, 120, 1);
    EXPECT_EQ(menu->GetLeftEye().x, 128);
    EXPECT_EQ(menu->GetRightEye().x, 152);
}

TEST(StartMenuScreen, GlowPulsesHoldingEachEndForTwoFramesAndTurnsADegreeAFrame)
{
    MenuApp app;
    ASSERT_TRUE(app.ok);
    StartMenuScreen* menu = app.RestingMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<int> expected;
    for (int a = 97; a <= 224; ++a)
        expected.push_back(a);
    for (int a = 224; a >= 96; --a)
        expected.push_back(a);
    expected.push_back(96);
    expected.push_back(97);
    for (size_t i = 0; i < expected.size(); ++i) {
        menu->Update();
        ASSERT_EQ(menu->GetGlowAlpha(), Fixed::FromInt(expected[i])) << "update " << i + 1;
        int angle = (360 - int((i + 1) % 360)) % 360;
        ASSERT_EQ(menu->GetGlowAngle(), Fixed::FromInt(angle)) << "update " << i + 1;
    }
}

TEST(StartMenuScreen, TheSkyCoversTheWidthWithoutASeamAtEveryOffset)
{
    for (int width : {320, 240}) {
        MenuApp app(width, 240);
        ASSERT_TRUE(app.ok);
        StartMenuScreen* menu = app.RestingMenu();
        ASSERT_NE(menu, nullptr);
        Surface* display = app.GetScreenSurface();
        const uint16_t* sky = menu->GetSkyImage()->GetPixels();
        for (int frame = 0; frame < 2 * 2 * kSkyWidth + 3; ++frame) {
            menu->Update();
            Fixed offset = menu->GetSkyOffset();
            ASSERT_TRUE(offset.raw < 0 && offset.raw >= -kSkyWidth * 256) << offset.raw;
            display->Clear(255, 0, 255);
            menu->Draw();
            int start = offset.ToInt();
            for (int x = 0; x < width; ++x) {
                int column = ((x - start) % kSkyWidth + kSkyWidth) % kSkyWidth;
                ASSERT_EQ(display->GetPixels()[x], sky[column]) << "x " << x << " frame " << frame;
            }
        }
    }
}

TEST(StartMenuScreen, WithNoPlayersOneIsAddedAndMadeCurrentAndGreetedOnlyOnceNamed)
{
    MenuApp app;
    ASSERT_TRUE(app.ok);
    ASSERT_EQ(app.Profiles().GetPlayerCount(), 0);
    ASSERT_NE(app.RestingMenu(), nullptr);
    EXPECT_EQ(app.Profiles().GetPlayerCount(), 1);
    EXPECT_EQ(app.Profiles().GetCurrentIndex(), 0);
    // The welcome's format is its language text.
    auto* welcome = app.Find<TextWidget>("txt_welcome");
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(app.Menu()->GetWelcomeText(), welcome);
    EXPECT_EQ(Text(welcome->GetText()), "Welcome  !");
    EXPECT_FALSE(welcome->IsVisible()) << "no greeting behind the first name entry";
    app.Profiles().SetPlayerName(0, String("Ana"));
    app.Menu()->UpdateWelcomeText();
    EXPECT_EQ(Text(welcome->GetText()), "Welcome Ana!");
    EXPECT_TRUE(welcome->IsVisible());
    // Shown again, the menu adds nobody.
    ASSERT_NE(app.RestingMenu(), nullptr);
    EXPECT_EQ(app.Profiles().GetPlayerCount(), 1);
    // With the rest of the pictures and the music.
    EXPECT_NE(app.Menu()->GetEyeMask(), nullptr);
    EXPECT_EQ(app.Menu()->GetEyeMask()->GetPixels(), nullptr) << "only the mask's alpha is kept";
    EXPECT_NE(app.Menu()->GetEyeMask()->GetAlpha(), nullptr);
    EXPECT_EQ(app.GetSoundBank()->GetMusicState(), 0);
    EXPECT_EQ(app.Menu()->GetFocusChild(), app.Find("btn_sm_adventure"));
}

TEST(StartMenuScreen, TheSmallSquareLayoutGreetsInItsOwnTextFromTheCaption)
{
    MenuApp app(240, 240);
    ASSERT_TRUE(app.ok);
    app.MakePlayer(4, 0);
    app.Profiles().SetPlayerName(0, String("Bo"));
    ASSERT_NE(app.RestingMenu(), nullptr);
    auto* small = app.Find<TextWidget>("txt_welcome240_2");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(app.Menu()->GetWelcomeText(), small);
    EXPECT_EQ(Text(small->GetText()), "Small Bo");
}

TEST(StartMenuScreen, TheContinueTextShowsTheAdventureStageAndBothScores)
{
    MenuApp app;
    ASSERT_TRUE(app.ok);
    PlayerRecord& player = app.MakePlayer(3, 0);
    struct Case {
        int stage, score, running;
        bool record;
        const char* text;
    } cases[] = {
        // Stage 1: door 1, its first stage, map 13; the saved level's 250 on top of 500.
        {1, 500, 250, true, "1/1 in Map 13: 750"},
        // Stage 76 alone behind door 13 on map 21; no record adds nothing.
        {76, 9000, 0, false, "13/1 in Map 21: 9000"},
        {0, 100, 0, false, nullptr},
        {77, 100, 0, false, nullptr},
    };
    for (const Case& c : cases) {
        player.progress[0].stage = c.stage;
        player.progress[0].score = c.score;
        app.DeleteResumeRecord(0);
        if (c.record)
            WriteLevelRecord(app, 0, 1, c.running);
        StartMenuScreen* menu = app.RestingMenu();
        ASSERT_NE(menu, nullptr);
        menu->RunActionFromFile("keloui.txt", "acn_confirm_adventure");
        auto* text = app.Find<TextMultiWidget>("txt_continue_2");
        ASSERT_NE(text, nullptr) << c.stage;
        if (c.text) {
            EXPECT_TRUE(text->IsVisible()) << c.stage;
            EXPECT_EQ(Text(text->GetText()), c.text);
        } else {
            EXPECT_FALSE(text->IsVisible()) << c.stage;
        }
    }
}

TEST(StartMenuScreen, TheGauntletContinueTextShowsLevelRankMapAndScore)
{
    MenuApp app;
    ASSERT_TRUE(app.ok);
    PlayerRecord& player = app.MakePlayer(5, 1);
    player.progress[1].stage = 8;
    player.progress[1].score = 300;
    player.progress[1].gauntletMap = 5;
    WriteLevelRecord(app, 1, 1, 45, 8);
    ASSERT_NE(app.RestingMenu(), nullptr);
    app.Menu()->RunActionFromFile("keloui.txt", "acn_confirm_gauntlet");
    auto* text = app.Find<TextMultiWidget>("txt_continue_2");
    ASSERT_NE(text, nullptr);
    // Level 8 is the first of the second rank.
    EXPECT_EQ(Text(text->GetText()), "8/2 in Map 5: 345");
    // A map number out of range has a blank name, and the text stays.
    player.progress[1].gauntletMap = 30;
    app.DeleteResumeRecord(1);
    ASSERT_NE(app.RestingMenu(), nullptr);
    app.Menu()->RunActionFromFile("keloui.txt", "acn_confirm_gauntlet");
    text = app.Find<TextMultiWidget>("txt_continue_2");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Text(text->GetText()), "8/2 in  : 300");
    EXPECT_TRUE(text->IsVisible());
}

TEST(StartMenuScreen, HelpOpensItsDialogAndSupportShowsTheVersionAndBuildDate)
{
    MenuApp app;
    ASSERT_NE(app.MenuWithPlayer(), nullptr);
    EXPECT_TRUE(app.Menu()->OnEvent(nullptr, kMsgCommand, "btn_sm_help", 0));
    ScriptWidget* help = app.Find("dlg_help");
    ASSERT_NE(help, nullptr);
    // The dialog's button passes its command up to the menu.
    auto* support = app.Find<ButtonWidget>("btn_help_support");
    ASSERT_NE(support, nullptr);
    EXPECT_EQ(dynamic_cast<StartMenuButton*>(support), nullptr) << "a dialog's button keeps the plain look";
    support->SendEvent(nullptr, kMsgCommand, "btn_help_support", 0);
    auto* version = app.Find<TextInfoWidget>("inf_version");
    auto* date = app.Find<TextInfoWidget>("inf_date");
    ASSERT_NE(version, nullptr);
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(Text(version->GetText()), "1.0");
    std::string built = Text(date->GetText());
    ASSERT_EQ(built.size(), 10u) << built;
    EXPECT_EQ(built[4], '-');
    EXPECT_EQ(built[7], '-');
    EXPECT_FALSE(app.IsQuitRequested());
}

TEST(StartMenuScreen, ABuildDateBecomesYearMonthDay)
{
    EXPECT_EQ(Text(BuildDateText("Dec  9 2026")), "2026-12-09");
    EXPECT_EQ(Text(BuildDateText("Jan 31 2027")), "2027-01-31");
    EXPECT_EQ(Text(BuildDateText("Foo  9 2026")), "Foo  9 2026");
    EXPECT_EQ(Text(BuildDateText("yesterday")), "yesterday");
}

TEST(StartMenuScreen, QuitEndsTheRunAsAChoiceNotAFailure)
{
    MenuApp app;
    ASSERT_NE(app.MenuWithPlayer(), nullptr);
    auto* quit = app.Find<StartMenuButton>("btn_sm_quit");
    ASSERT_NE(quit, nullptr);
    Point centre;
    quit->GetCenter(centre);
    app.OnPointer(centre.x, centre.y, 1);
    app.OnPointer(centre.x, centre.y, 2);
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(app.GetExitCode(), 0);
}

TEST(StartMenuScreen, TheWebPageButtonIsPlainAndOpensTheMakersPage)
{
    MenuApp app;
    ASSERT_NE(app.MenuWithPlayer(), nullptr);
    ScriptWidget* more = app.Find("btn_get_more_games");
    ASSERT_NE(dynamic_cast<TextButton*>(more), nullptr);
    EXPECT_EQ(dynamic_cast<StartMenuButton*>(more), nullptr);
    for (const char* name : {"btn_sm_adventure", "btn_sm_gauntlet", "btn_sm_help", "btn_sm_options", "btn_sm_quit",
                             "btn_change_player"})
        EXPECT_NE(app.Find<StartMenuButton>(name), nullptr) << name;
    size_t before = nullbackend::StartedProcesses().size();
    EXPECT_TRUE(app.Menu()->OnEvent(nullptr, kMsgCommand, "btn_get_more_games", 0));
    std::vector<std::string> started = nullbackend::StartedProcesses();
    ASSERT_EQ(started.size(), before + 1);
    EXPECT_NE(started.back().find("https://"), std::string::npos) << started.back();
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(app.GetExitCode(), 0);
}

TEST(StartMenuScreen, AClosedDialogGivesTheFocusBackToItsOpener)
{
    MenuApp app;
    StartMenuScreen* menu = app.MenuWithPlayer();
    ASSERT_NE(menu, nullptr);
    struct Case {
        const char* dialog;
        const char* opener;
    } cases[] = {{"dlg_options", "btn_sm_options"},
                 {"dlg_continue_gauntlet", "btn_sm_gauntlet"},
                 {"dlg_help", "btn_sm_adventure"}};
    for (const Case& c : cases) {
        menu->SetFocusChildDirect(app.Find("btn_sm_quit"));
        menu->OnEvent(nullptr, kMsgChildClosed, c.dialog, 0);
        EXPECT_EQ(menu->GetFocusChild(), app.Find(c.opener)) << c.dialog;
    }
    // A modal dialog still open keeps the focus.
    menu->OnEvent(nullptr, kMsgCommand, "btn_sm_options", 0);
    ScriptWidget* options = app.Find("dlg_options");
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(options->IsModal());
    menu->SetFocusChildDirect(options);
    menu->OnEvent(nullptr, kMsgChildClosed, "dlg_help", 0);
    EXPECT_EQ(menu->GetFocusChild(), options);
}

TEST(StartMenuScreen, AMenuThatCannotBeBuiltEndsTheRunWithNoScreen)
{
    {
        MenuApp app;
        ASSERT_TRUE(app.ok);
        // The screens' layout file has no "root_startmenu".
        app.ui = "screens";
        EXPECT_FALSE(app.ShowStartMenu());
        EXPECT_EQ(app.GetChildCount(), 0);
        EXPECT_TRUE(app.IsQuitRequested());
        EXPECT_EQ(app.GetExitCode(), 1);
    }
    for (const char* art : {"startmenu_sky", "mmsunglow_a", "mmeyeright_a", "mmeyemask_a"}) {
        MenuApp app;
        ASSERT_TRUE(app.ok);
        ASSERT_EQ(std::remove(app.Art(art).c_str()), 0);
        EXPECT_FALSE(app.ShowStartMenu()) << art;
        EXPECT_EQ(app.GetChildCount(), 0) << art;
        EXPECT_EQ(app.GetExitCode(), 1) << art;
    }
}

// Where a button's caption sits against its plain centred place.
Point CaptionShift(StartMenuButton* button)
{
    Point centre;
    button->GetCenter(centre);
    const Font* font = button->GetLook().font;
    Point at = button->GetCaptionPosition();
    return Point{at.x - (centre.x - font->MeasureText(button->GetCaption().CStr()) / 2),
                 at.y - (centre.y - font->GetLineHeight() / 2)};
}

TEST(StartMenuButton, At640x480CaptionsSitUpLeftAndMoveByTheirOwnAmountsWhilePressed)
{
    MenuApp app(640, 480);
    ASSERT_NE(app.MenuWithPlayer(), nullptr);
    struct Case {
        const char* name;
        int pressedX, pressedY;
    } cases[] = {{"btn_sm_adventure", 0, 4}, {"btn_sm_gauntlet", 0, 4}, {"btn_sm_options", 0, -10},
                 {"btn_sm_help", 0, -18}, {"btn_sm_quit", 0, -18}};
    for (const Case& c : cases) {
        auto* button = app.Find<StartMenuButton>(c.name);
        ASSERT_NE(button, nullptr) << c.name;
        Point rest = CaptionShift(button);
        EXPECT_EQ(rest.x, -8) << c.name;
        EXPECT_EQ(rest.y, -10) << c.name;
        EXPECT_EQ(button->GetCaptionColour().red, button == app.Menu()->GetFocusChild() ? 255 : 224) << c.name;
        button->OnKey(kKeyAction, true);
        ASSERT_TRUE(button->IsPressed());
        Point pressed = CaptionShift(button);
        EXPECT_EQ(pressed.x, c.pressedX) << c.name;
        EXPECT_EQ(pressed.y, c.pressedY) << c.name;
        CaptionColour colour = button->GetCaptionColour();
        EXPECT_EQ(colour.red, 112);
        EXPECT_EQ(colour.green, 80);
        EXPECT_EQ(colour.blue, 32);
        // Held while its input is blocked (here: fading in again), the caption stays put.
        button->ScriptWidget::StartFadeIn(Fixed::FromInt(0), Fixed::FromInt(1));
        ASSERT_TRUE(button->IsInputBlocked());
        Point blocked = CaptionShift(button);
        EXPECT_EQ(blocked.x, -8) << c.name;
        EXPECT_EQ(blocked.y, -10) << c.name;
    }
}

TEST(StartMenuButton, TheChangePlayerCaptionIgnoresTheOffsetsAndMovesOnePixel)
{
    for (int height : {480, 240}) {
        MenuApp app(height * 4 / 3, height);
        ASSERT_NE(app.MenuWithPlayer(), nullptr);
        auto* button = app.Find<StartMenuButton>("btn_change_player");
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->IsChangePlayer());
        Point rest = CaptionShift(button);
        EXPECT_EQ(rest.x, 0);
        EXPECT_EQ(rest.y, 0);
        CaptionColour idle = button->GetCaptionColour();
        button->OnKey(kKeyAction, true);
        Point pressed = CaptionShift(button);
        EXPECT_EQ(pressed.x, 1);
        EXPECT_EQ(pressed.y, 1);
        CaptionColour lit = button->GetCaptionColour();
        if (height == 480) {
            EXPECT_EQ((std::vector<int>{idle.red, idle.green, idle.blue}), (std::vector<int>{84, 117, 105}));
            EXPECT_EQ((std::vector<int>{lit.red, lit.green, lit.blue, lit.effect}),
                      (std::vector<int>{173, 67, 105, 1}));
        } else {
            EXPECT_EQ((std::vector<int>{idle.red, idle.green, idle.blue}), (std::vector<int>{148, 181, 169}));
            EXPECT_EQ((std::vector<int>{lit.red, lit.green, lit.blue}), (std::vector<int>{237, 131, 169}));
            EXPECT_EQ(lit.effect, button->GetLook().effect);
        }
    }
}

}  // namespace
