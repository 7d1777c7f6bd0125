#include "stage_play.h"

#include <cctype>

#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/app/screen_transition.h"
#include "game/play/game_hud.h"
#include "game/screens/adventure_map_screen.h"
#include "engine/ui/string_table.h"

namespace stage_play {

GameplayScreen* BoardInFront(ScriptedGame& game)
{
    auto* board = game.Screen<GameplayScreen>(kSlotGameplay);
    return board && game.CurrentScreen() == board ? board : nullptr;
}

bool ReadyToAim(ScriptedGame& game, const GameplayScreen& board)
{
    return board.playState == kPlayPlaying && !board.lifeLost && !board.levelFinished && board.currentBall &&
           board.shotCount == 0 && !board.shotPending && !board.shootRequest && game.OpenDialog() == nullptr;
}

ShownStats ReadWonStats(ScriptedGame& game)
{
    ShownStats shown;
    shown.score = ShownNumber(game.TextOf("txt_stats_score"));
    shown.combos = ShownNumber(game.TextOf("txt_stats_combos"));
    shown.coins = ShownNumber(game.TextOf("txt_stats_coins"));
    shown.gaps = ShownNumber(game.TextOf("txt_stats_gaps"));
    shown.maxChain = ShownNumber(game.TextOf("txt_stats_maxchain"));
    shown.maxCombo = ShownNumber(game.TextOf("txt_stats_maxcombo"));
    shown.seconds = ShownSeconds(game.TextOf("txt_stats_yourtime"));
    shown.bonus = game.TextOf("txt_stats_bonus");
    return shown;
}

int ShownNumber(const std::string& text)
{
    long value = 0;
    int digits = 0;
    for (char c : text) {
        if (c == ',')
            continue;
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return -1;
        value = value * 10 + (c - '0');
        if (++digits > 9)
            return -1;
    }
    return digits > 0 ? static_cast<int>(value) : -1;
}

int ShownSeconds(const std::string& text)
{
    int seconds = 0, fields = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t colon = text.find(':', at);
        std::string field = text.substr(at, colon == std::string::npos ? std::string::npos : colon - at);
        if (field.size() != 2)
            return -1;
        int value = ShownNumber(field);
        if (value < 0)
            return -1;
        seconds = seconds * 60 + value;
        ++fields;
        if (colon == std::string::npos)
            break;
        at = colon + 1;
    }
    return fields == 2 || fields == 3 ? seconds : -1;
}

ModeProgress* AdventureProgress(ScriptedGame& game)
{
    ProfileStore* profiles = game.Profiles();
    PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
    return player ? &player->progress[0] : nullptr;
}

ShownHud ReadHud(const GameplayScreen& board)
{
    ShownHud shown;
    if (!board.hud)
        return shown;
    shown.score = ShownNumber(board.hud->GetScoreText().CStr() ? board.hud->GetScoreText().CStr() : "");
    shown.caption = board.hud->GetCaption().CStr() ? board.hud->GetCaption().CStr() : "";
    shown.lifeIcons = board.hud->GetLifeIcons();
    return shown;
}

bool MapAtRest(ScriptedGame& game)
{
    auto* map = game.Screen<AdventureMapScreen>(kSlotAdventureMap);
    return map && game.CurrentScreen() == map && !map->IsScreenFading() && map->GetUnveilingTemple() < 0 &&
           game.OpenDialog() == nullptr;
}

bool OpenAdventureMap(ScriptedGame& game)
{
    if (!game.TapWidget("btn_sm_adventure"))
        return false;
    return game.WaitUntil([&] { return MapAtRest(game); }, 600);
}

bool WaitForStage(ScriptedGame& game, int stage, bool& quaked, int maxFrames)
{
    quaked = false;
    bool seen = false;
    bool arrived = game.WaitUntilEachFrame(
        [&] {
            GameplayScreen* board = BoardInFront(game);
            ModeProgress* progress = AdventureProgress(game);
            // The board that was left (won, or a life paid) fades out before the new one stands.
            if (!board || !progress || progress->stage != stage || board->levelFinished || board->lifeLost)
                return false;
            // The first frame of the new board tells how it came in.
            if (!seen) {
                seen = true;
                quaked = board->IsQuakeFadeIn();
            }
            return true;
        },
        maxFrames);
    return arrived;
}

bool WaitForPlay(ScriptedGame& game, int maxFrames)
{
    return game.WaitUntil(
        [&] {
            GameplayScreen* board = BoardInFront(game);
            return board && board->playState == kPlayPlaying && !board->IsScreenFading();
        },
        maxFrames);
}

}  // namespace stage_play
