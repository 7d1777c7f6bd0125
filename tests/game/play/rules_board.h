#pragma once
// A gameplay screen on the board's test application with a player profile, whose chains are laid
// out by hand: balls with colours and screen positions, each with its own ball sprite, so that
// the rules can be run on a board whose numbers are known.
#include <initializer_list>
#include <memory>

#include "engine/graphics/font.h"
#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "tests/game/play/board_app.h"

class RulesApp : public BoardApp {
public:
    explicit RulesApp(int displayMode = 5) : BoardApp(displayMode)
    {
        // Screens reach the game through the widget tree's application.
        SetApplication(this);
        options_ = new ProfileStore();
        sound->played.clear();
    }
    // Gone before the application's own end, so that nothing is saved anywhere.
    ~RulesApp() override
    {
        DeleteAndNull(options_);
        smallFont_ = nullptr;
    }
    // A small font of plain boxes and a screen, so that floating texts start.
    bool EnableTexts()
    {
        font = std::make_unique<Font>(this);
        for (int code = 33; code < 127; ++code)
            font->SetGlyph(code, 0, 6, 0);
        font->SetSpaceWidth(4);
        smallFont_ = font.get();
        DeleteAndNull(screenSurface_);
        screenSurface_ = CreateImage();
        return screenSurface_ && screenSurface_->Create(640, 480);
    }
    std::unique_ptr<Font> font;
    bool BuildTables() { return levelTables_.Build(); }
    ModeProgress& Progress() { return *GetProfiles()->CurrentPlayer()->CurrentModeProgress(); }
    PlayerRecord& Player() { return *GetProfiles()->CurrentPlayer(); }
    // The sets the explosions and coins load.
    bool AddEffectSets()
    {
        return AddSet("BallExplosion", 6, 8, 8) && AddSet("Explosion", 6, 8, 8) && AddSet("Coin", 24, 10, 10);
    }
};

class RulesBoard {
public:
    explicit RulesBoard(int displayMode = 5) : app(displayMode)
    {
        setsMade = app.AddEffectSets() && app.AddBallSets();
        screen = std::make_unique<GameplayScreen>(&app);
        for (int c = 0; c < kBoardCurves; ++c) {
            holes[c] = std::make_unique<Hole>(&app);
            screen->curves[c].SetHole(holes[c].get());
        }
        screen->curveCount = 1;
        app.sound->played.clear();
    }
    ~RulesBoard()
    {
        // The chains are this fixture's; the screen gets none to delete.
        for (BallChain*& chain : screen->chains)
            DeleteBallChain(chain);
        for (CurvePath& curve : screen->curves)
            curve.SetHole(nullptr);
        screen.reset();
    }

    BallSprite* AddSprite(int colour, FixedVec2 centre)
    {
        auto* sprite = new BallSprite(&app, colour);
        sprite->SetPositionAndSize(FixedVec2(centre.x - Fixed::FromInt(4), centre.y - Fixed::FromInt(4)),
                                   FixedVec2(Fixed::FromInt(8), Fixed::FromInt(8)));
        screen->ballSprites.Append(sprite);
        return sprite;
    }

    // A chain in the slot on the curve with settled balls of the colours, head first, the head at
    // (x0, y) and each next ball `spacing` pixels further left; the colour counts follow.
    BallChain& MakeChain(int slot, int curve, std::initializer_list<int> colours, int x0 = 300, int y = 200,
                         int spacing = 32)
    {
        BallChain*& chain = screen->chains[slot];
        if (!chain)
            chain = new BallChain(&app);
        chain->curveIndex = curve;
        chain->count = 0;
        int i = 0;
        for (int colour : colours) {
            Ball& ball = chain->balls[chain->count++];
            ball.Reset();
            ball.colour = colour;
            ball.growth = Fixed::FromInt(1);
            ball.distance = Fixed::FromInt(1000 - i * spacing);
            ball.position = FixedVec2(Fixed::FromInt(x0 - i * spacing), Fixed::FromInt(y));
            ball.sprite = AddSprite(colour, ball.position);
            ++screen->colourCount[colour];
            ++i;
        }
        ++screen->chainCount;
        return *chain;
    }
    static void Flag(BallChain& chain, std::initializer_list<int> indices)
    {
        for (int i : indices)
            chain.FlagForRemoval(i);
    }
    int ExplosionCount() const
    {
        int n = 0;
        for (int i = 0; i < screen->effects.Count(); ++i)
            n += screen->effects.Get(i)->Type() == kObjectExplosion ? 1 : 0;
        return n;
    }

    RulesApp app;
    bool setsMade = false;
    std::unique_ptr<Hole> holes[kBoardCurves];
    std::unique_ptr<GameplayScreen> screen;
};
