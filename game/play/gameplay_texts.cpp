// The ring of rising score texts and the two routines that choose their words and colours.
#include <new>
#include <string>

#include "engine/core/format_text.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_helpers.h"
#include "game/app/sound_bank.h"
#include "game/play/floating_text.h"
#include "game/play/gameplay_screen.h"

namespace {

struct TextColour {
    int red, green, blue;
};

TextColour ScoreColour(int colour)
{
    switch (colour) {
    case 0: return {64, 64, 255};
    case 1: return {255, 255, 64};
    case 2: return {255, 64, 64};
    case 3: return {64, 255, 64};
    case 4: return {128, 64, 128};
    default: return {255, 255, 255};
    }
}

// The language text used as a format with one number; empty when the row is missing.
String FormatLanguage(GameApp* app, const char* key, int value)
{
    String format;
    if (StringTable* table = app->GetLanguageTable())
        table->Lookup(format, key);
    if (format.IsEmpty())
        return String();
    return FormatText(format.CStr(), {value});
}

}  // namespace

bool GameplayScreen::CreateFloatingTexts()
{
    for (FloatingText*& text : floatingTexts) {
        if (!text)
            text = new (std::nothrow) FloatingText(application);
        if (!text)
            return false;
    }
    nextFloatingText = 0;
    return true;
}

FloatingText* GameplayScreen::TakeFloatingText()
{
    if (nextFloatingText < 0 || nextFloatingText >= kFloatingTexts)
        nextFloatingText = 0;
    FloatingText* text = floatingTexts[nextFloatingText];
    // Only the even places are used, eight texts in turn.
    nextFloatingText += 2;
    if (nextFloatingText >= kFloatingTexts)
        nextFloatingText = 0;
    return text;
}

void GameplayScreen::ShowScoreText(int points, int x, int y, int colour, int combo, int chain, int gapBonus, int gaps)
{
    FloatingText* text = TakeFloatingText();
    if (!text)
        return;
    GameApp* app = application;
    String first = FormatWithCommas(points);
    String second;
    if (combo >= 2)
        second = FormatLanguage(app, "STR_COMBO", combo);
    else if (chain > 4)
        second = FormatLanguage(app, "STR_CHAIN", chain);
    if (gapBonus > 0) {
        // Never translated, as the game always had them.
        second.Assign(gaps < 2 ? "GAP BONUS" : gaps < 3 ? "DOUBLE GAP BONUS" : "TRIPLE GAP BONUS");
        if (SoundBank* sounds = app->GetSoundBank())
            sounds->Play(kGapBonusSound);
    }
    TextColour c = ScoreColour(colour);
    text->Start(x, y, first.CStr(), second.CStr(), c.red, c.green, c.blue, app->GetSmallFont(),
                app->GetScreenSurface());
}

void GameplayScreen::ShowCoinBonusText(int points, int x, int y)
{
    FloatingText* text = TakeFloatingText();
    if (!text)
        return;
    GameApp* app = application;
    String line = FormatLanguage(app, "STR_COIN_BONUS", points);
    if (line.IsEmpty())
        line.Assign((std::string("Bonus ") + FormatWithCommas(points).CStr()).c_str());
    text->Start(x, y, line.CStr(), nullptr, 255, 255, 255, app->GetSmallFont(), app->GetScreenSurface());
}
