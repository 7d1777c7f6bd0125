#include <gtest/gtest.h>

#include <functional>

#include "tests/game/play/rolling_board.h"

namespace {

// A shot in flight as the frog fires it.
void FlyShot(GameplayScreen& b)
{
    b.shot.Reset();
    b.shot.serial = Ball::NewSerial();
    b.shotCount = b.shotPending = 1;
    ASSERT_TRUE(BoardValid(b));
}

}  // namespace

// A board laid by hand keeps every rule; each way of breaking one is caught and named where it
// broke, so the checks the rule tests and the flows make after each step can fail.
TEST(BoardValidation, EachBrokenRuleIsNamedWhereItBroke)
{
    struct Case {
        const char* rule;
        int chain, ball;
        std::function<void(GameplayScreen&, BallChain&)> breakIt;
    };
    const Case cases[] = {
        {"distances out of order", 0, 2, [](GameplayScreen&, BallChain& c) { c.balls[2].distance = F(380); }},
        {"growth outside 0..1", 0, 1, [](GameplayScreen&, BallChain& c) { c.balls[1].growth = F(2); }},
        {"two balls share a serial", 0, -1,
         [](GameplayScreen&, BallChain& c) { c.balls[2].serial = c.balls[0].serial; }},
        {"gap crossed twice", 0, 0,
         [](GameplayScreen&, BallChain& c) {
             c.balls[0].gaps[0] = c.balls[0].gaps[1] = GapCrossed{0, 40, 7};
             c.balls[0].gapCount = 2;
         }},
        {"pull speed forward or pull acceleration negative", 0, 0,
         [](GameplayScreen&, BallChain& c) { c.balls[0].pullSpeed = F(1); }},
        {"pull past 256 px a frame", 0, 1, [](GameplayScreen&, BallChain& c) { c.balls[1].pullSpeed = F(-257); }},
        {"speed ramps away from its target", 0, -1,
         [](GameplayScreen&, BallChain& c) {
             c.targetSpeed = F(2);
             c.speedStep = Fixed::Raw(-1);
         }},
        {"chain count differs from the chains holding balls", -1, -1,
         [](GameplayScreen& b, BallChain&) { b.chainCount = 2; }},
        {"colour count differs from the balls", -1, -1, [](GameplayScreen& b, BallChain&) { ++b.colourCount[1]; }},
        {"ball growing with no shot pending", -1, -1,
         [](GameplayScreen&, BallChain& c) { c.balls[1].growth = Fixed::Raw(128); }},
        {"shot pending with none flying or growing", -1, -1, [](GameplayScreen& b, BallChain&) { b.shotPending = 1; }},
        // The flying shot's own fields, and one shot at a time.
        {"pull speed forward or pull acceleration negative", -1, -1,
         [](GameplayScreen& b, BallChain&) {
             FlyShot(b);
             b.shot.pullSpeed = F(1);
         }},
        {"shot flying while a ball grows into place", -1, -1,
         [](GameplayScreen& b, BallChain& c) {
             FlyShot(b);
             c.balls[1].growth = Fixed::Raw(128);
         }},
    };
    for (const Case& each : cases) {
        RollingBoard t;
        ASSERT_TRUE(t.Tracks(1));
        GameplayScreen& b = *t.board;
        BallChain& chain = t.Lay(0, {400, 368, 336}, {0, 1, 2});
        ASSERT_TRUE(BoardValid(b));
        ASSERT_TRUE(ChainValid(chain));

        each.breakIt(b, chain);
        BoardFault fault;
        EXPECT_FALSE(ValidateBoard(b, &fault)) << each.rule;
        ASSERT_NE(fault.rule, nullptr) << each.rule;
        EXPECT_STREQ(fault.rule, each.rule);
        EXPECT_EQ(fault.chain, each.chain) << each.rule;
        EXPECT_EQ(fault.ball, each.ball) << each.rule;
    }
}
