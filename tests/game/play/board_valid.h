#pragma once
// The board's rules as the tests check them after each step; a failure names the broken rule and
// where it broke.
#include <gtest/gtest.h>

#include "game/play/board_validation.h"

inline ::testing::AssertionResult DescribeBoardFault(bool valid, const BoardFault& fault)
{
    if (valid)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "broken board rule: " << fault.rule << " (chain " << fault.chain
                                         << ", ball " << fault.ball << ")";
}

inline ::testing::AssertionResult BoardValid(const GameplayScreen& screen)
{
    BoardFault fault;
    return DescribeBoardFault(ValidateBoard(screen, &fault), fault);
}

inline ::testing::AssertionResult ChainValid(const BallChain& chain)
{
    BoardFault fault;
    return DescribeBoardFault(ValidateChain(chain, &fault), fault);
}
