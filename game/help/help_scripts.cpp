#include "game/help/help_scripts.h"

#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/help/help_scene.h"
#include "game/play/curve_path.h"

namespace {

constexpr int kOpaque = 255;
constexpr int kCaptionWidth = 1000;
constexpr int kCaptionRed = 255, kCaptionGreen = 128, kCaptionBlue = 0;
constexpr int kColourYellow = 1, kColourRed = 2;

Fixed Int(int n)
{
    return Fixed::FromInt(n);
}

struct Layout {
    explicit Layout(const GameApp* app) : table(app->GetLayoutTable()) {}
    int operator[](int entry) const { return table.ints[static_cast<size_t>(entry)]; }
    const LayoutTable& table;
};

void AddCaption(HelpScene& scene, const char* name, const char* caption, int centreX, int topY)
{
    scene.AddCreateText(name, caption, centreX, topY, kCaptionWidth, scene.GetApp()->GetSmallFont(), kCaptionRed,
                        kCaptionGreen, kCaptionBlue, kOpaque);
}

void CoinPage(HelpScene& scene, const Layout& layout)
{
    scene.AddCreateSprite("coin", "Coin", 0, layout[kLayoutHelpCoinX], layout[kLayoutHelpCoinY], kOpaque);
    scene.AddAnimate("coin", Fixed::FromDouble(0.75), -1);
    scene.AddHold();
}

struct RowBall {
    const char* name;
    const char* set;
    int frame;
};

// One chain of six balls, turned to roll sideways, opened by a shot ball flying in, and the four
// blue balls (three of the row and the shot) exploding; finishes with a blocked wait of `rest`.
void ChainTakesShot(HelpScene& scene, const Layout& layout, const RowBall (&row)[6], const char* shot, int rest)
{
    int rowX = layout[kLayoutHelpRowX], rowY = layout[kLayoutHelpRowY], spacing = layout[kLayoutHelpSpacing];
    int shotX = layout[kLayoutHelpShotX], shotY = layout[kLayoutHelpShotY];
    Fixed shotSpeed = Int(layout[kLayoutHelpShotSpeed]);
    Fixed rowSpeed = layout.table.fixed[kLayoutHelpRowSpeed];
    for (int k = 0; k < 6; ++k)
        scene.AddCreateSprite(row[k].name, row[k].set, row[k].frame, rowX + k * spacing, rowY, kOpaque);
    for (const RowBall& ball : row)
        scene.AddTurn(ball.name, Int(90), 90);
    scene.BlockOnLast();
    scene.AddWait(33);
    scene.BlockOnLast();

    scene.AddCreateSprite(shot, "Ball1", 46, shotX, shotY, kOpaque);
    scene.AddTurn(shot, Int(135), 135);
    scene.BlockOnLast();
    Fixed d = Int(rowY - shotY - spacing);
    scene.AddMove(shot, d, d, shotSpeed, shotSpeed);
    scene.BlockOnLast();

    // Arithmetic shifts: an odd spacing moves the left half one pixel further.
    for (int k = 0; k < 3; ++k)
        scene.AddMove(row[k].name, Int((-spacing) >> 1), Fixed(), rowSpeed, Fixed());
    for (int k = 3; k < 6; ++k)
        scene.AddMove(row[k].name, Int(spacing >> 1), Fixed(), rowSpeed, Fixed());
    scene.AddMove(shot, Int(spacing), Int(spacing), shotSpeed, shotSpeed);
    scene.BlockOnLast();

    static const char* const kExplosions[4] = {"exp1", "exp2", "exp3", "exp4"};
    for (int k = 2; k < 5; ++k)
        scene.AddRemove(row[k].name);
    scene.AddRemove(shot);
    for (int k = 0; k < 4; ++k)
        scene.AddCreateSpriteTinted(kExplosions[k], "BallExplosion", 0,
                                    rowX + 2 * spacing - (spacing >> 1) + k * spacing, rowY, kOpaque);
    scene.BlockOnLast();
    for (const char* explosion : kExplosions)
        scene.AddAnimate(explosion, Int(1), 12);
    scene.AddWait(12);
    scene.BlockOnLast();
    for (const char* explosion : kExplosions)
        scene.AddRemove(explosion);
    scene.BlockOnLast();
    scene.AddWait(rest);
    scene.BlockOnLast();
}

void ChainPage(HelpScene& scene, const Layout& layout)
{
    static const RowBall kFirst[6] = {{"yellow1", "Ball2", 12}, {"yellow2", "Ball2", 25}, {"blue1", "Ball1", 37},
                                      {"blue2", "Ball1", 7},    {"blue3", "Ball1", 27},   {"red1", "Ball3", 27}};
    static const RowBall kSecond[6] = {{"yellow11", "Ball2", 12}, {"yellow12", "Ball2", 25},
                                       {"blue11", "Ball1", 37},   {"blue12", "Ball1", 7},
                                       {"blue13", "Ball1", 27},   {"yellow13", "Ball2", 40}};
    ChainTakesShot(scene, layout, kFirst, "blue4", 33);
    scene.AddRemove("yellow1");
    scene.AddRemove("yellow2");
    scene.AddRemove("red1");
    scene.AddWait(16);
    scene.BlockOnLast();

    ChainTakesShot(scene, layout, kSecond, "blue14", 4);
    // The last yellow rolls back into the other two: a follow-up combo.
    int rowX = layout[kLayoutHelpRowX], rowY = layout[kLayoutHelpRowY], spacing = layout[kLayoutHelpSpacing];
    scene.AddAnimate("yellow13", Fixed::FromDouble(3.5), -1);
    scene.AddMove("yellow13", Int(-4 * spacing), Fixed(), Int(4 * layout[kLayoutHelpShotSpeed]), Fixed());
    scene.BlockOnLast();
    static const char* const kExplosions[3] = {"exp1", "exp2", "exp3"};
    for (const char* ball : {"yellow11", "yellow12", "yellow13"})
        scene.AddRemove(ball);
    for (int k = 0; k < 3; ++k) {
        scene.AddCreateSpriteTinted(kExplosions[k], "BallExplosion", 0, rowX - (spacing >> 1) + k * spacing, rowY,
                                    kOpaque);
        scene.AddAnimate(kExplosions[k], Int(1), 12);
    }
    scene.AddWait(12);
    scene.BlockOnLast();
    for (const char* explosion : kExplosions)
        scene.AddRemove(explosion);
    scene.AddWait(16);
    scene.BlockOnLast();
}

void SwapPage(HelpScene& scene, const Layout& layout, Surface* tapImage, const char* caption)
{
    scene.AddCreateFrog("frog", layout[kLayoutHelpSwapFrogX], layout[kLayoutHelpSwapFrogY], kColourRed, kColourYellow,
                        Fixed());
    scene.BlockOnLast();
    scene.AddWait(49);
    scene.BlockOnLast();
    scene.AddCreateImage("tap1", tapImage, layout[kLayoutHelpTap1X], layout[kLayoutHelpTap1Y], kOpaque);
    AddCaption(scene, "text1", caption, layout[kLayoutHelpText1X], layout[kLayoutHelpText1Y]);
    scene.AddWait(11);
    scene.BlockOnLast();
    scene.AddRemove("tap1");
    scene.AddRemove("text1");
    scene.BlockOnLast();
    scene.AddSwapBalls("frog");
    scene.BlockOnLast();
    scene.AddWait(49);
    scene.BlockOnLast();
    scene.AddCreateImage("tap2", tapImage, layout[kLayoutHelpTap2X], layout[kLayoutHelpTap2Y], kOpaque);
    AddCaption(scene, "text2", caption, layout[kLayoutHelpText2X], layout[kLayoutHelpText2Y]);
    scene.AddWait(11);
}

void AimPage(HelpScene& scene, const Layout& layout, Surface* tapImage, const char* caption)
{
    GameApp* app = scene.GetApp();
    int frogX = layout[kLayoutHelpAimFrogX], frogY = layout[kLayoutHelpAimFrogY], mouthX = layout[kLayoutHelpAimMouthX];
    int tapX = layout[kLayoutHelpAimTapX], tapY = layout[kLayoutHelpAimTapY];
    int textX = layout[kLayoutHelpAimTextX], textY = layout[kLayoutHelpAimTextY];
    int travel = layout[kLayoutHelpTapTravel], targetX = layout[kLayoutHelpTargetX];
    Fixed tapSpeed = Int(layout[kLayoutHelpTapSpeed]);
    Fixed ballSpeed = Int(layout[kLayoutHelpBallSpeed]);

    scene.AddCreateFrog("frog", frogX, frogY, kColourRed, kColourYellow, Int(270));
    scene.BlockOnLast();
    scene.AddWait(33);
    scene.BlockOnLast();

    scene.AddCreateImage("tap1", tapImage, tapX, tapY, kOpaque);
    AddCaption(scene, "text1", caption, textX, textY);
    scene.AddMove("tap1", Fixed(), Int(-travel), Fixed(), tapSpeed);
    scene.AddMove("text1", Fixed(), Int(-travel), Fixed(), tapSpeed);
    scene.AddTurn("frog", Int(-2), 250);
    scene.BlockOnLast();
    scene.AddWait(11);
    scene.BlockOnLast();

    scene.AddRemove("tap1");
    scene.AddRemove("text1");
    scene.AddShoot("frog");
    // The red shot leaves the mouth of the frog turned to 250, that is 340 from the mouth's
    // offset along +x.
    Fixed mx, my;
    if (TrigTable* trig = app->GetRenderer())
        RotateAround(*trig, Int(frogX), Int(frogY), Int(mouthX - frogX), Fixed(), Int(340), mx, my, nullptr);
    int shotX = mx.ToInt(), shotY = my.ToInt();
    scene.AddCreateSprite("red", "Ball3", 0, shotX, shotY, kOpaque);
    scene.AddTurn("red", Int(250), 250);
    scene.BlockOnLast();
    FixedVec2 u(Int(shotX - frogX), Int(shotY - frogY));
    u.Normalize();
    Fixed length = Int(targetX - mouthX);
    scene.AddMove("red", u.x * length, u.y * length, Fixed::Abs(u.x * ballSpeed), Fixed::Abs(u.y * ballSpeed));
    scene.BlockOnLast();
    scene.AddRemove("red");
    scene.BlockOnLast();
    scene.AddWait(33);
    scene.BlockOnLast();

    scene.AddCreateImage("tap2", tapImage, tapX, tapY - travel, kOpaque);
    AddCaption(scene, "text2", caption, textX, textY - travel);
    scene.AddMove("tap2", Fixed(), Int(2 * travel), Fixed(), tapSpeed);
    scene.AddMove("text2", Fixed(), Int(2 * travel), Fixed(), tapSpeed);
    scene.AddTurn("frog", Int(2), 290);
    scene.BlockOnLast();
    scene.AddWait(33);
    scene.BlockOnLast();

    scene.AddMove("tap2", Fixed(), Int(-travel), Fixed(), tapSpeed);
    scene.AddMove("text2", Fixed(), Int(-travel), Fixed(), tapSpeed);
    scene.AddTurn("frog", Int(-2), 270);
    scene.AddWait(22);
    scene.BlockOnLast();

    scene.AddRemove("tap2");
    scene.AddRemove("text2");
    scene.AddShoot("frog");
    scene.AddCreateSprite("yellow", "Ball2", 0, mouthX, frogY, kOpaque);
    scene.AddTurn("yellow", Int(270), 270);
    scene.BlockOnLast();
    scene.AddMove("yellow", Int(targetX - mouthX), Fixed(), ballSpeed, Fixed());
    scene.BlockOnLast();
    scene.AddRemove("yellow");
    scene.BlockOnLast();
    scene.AddWait(33);
}

}  // namespace

bool RunHelpScript(HelpScene& scene, int page, Surface* tapImage, const char* caption)
{
    scene.Reset();
    GameApp* app = scene.GetApp();
    if (!app)
        return true;
    Layout layout(app);
    switch (page) {
    case 0:
        CoinPage(scene, layout);
        break;
    case 1:
        ChainPage(scene, layout);
        break;
    case 2:
        SwapPage(scene, layout, tapImage, caption);
        break;
    case 3:
        AimPage(scene, layout, tapImage, caption);
        break;
    }
    return true;
}
