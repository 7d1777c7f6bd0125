#include "bot_play.h"

#include "engine/ui/string_table.h"
#include "game/app/game_app.h"

void ScriptedHands::Stylus(int kind, int x, int y)
{
    if (kind == 1)
        game_.Press(x, y);
    else if (kind == 2)
        game_.Release(x, y);
    else
        game_.Drag(x, y);
}

void ScriptedHands::Key(unsigned vk, bool down)
{
    if (down)
        game_.KeyDown(vk);
    else
        game_.KeyUp(vk);
}

GameplayScreen* BoardOf(ScriptedGame& game)
{
    return game.Screen<GameplayScreen>(kSlotGameplay);
}

std::string LanguageText(ScriptedGame& game, const char* key, int offset)
{
    GameApp* app = game.App();
    StringTable* table = app ? app->GetLanguageTable() : nullptr;
    if (!table)
        return "";
    String text;
    table->LookupOffset(text, key, offset);
    return text.CStr() ? text.CStr() : "";
}
