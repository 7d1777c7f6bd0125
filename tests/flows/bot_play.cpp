#include "bot_play.h"

#include "engine/ui/string_table.h"
#include "game/app/game_app.h"

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
