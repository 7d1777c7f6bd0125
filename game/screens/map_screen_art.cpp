#include "game/screens/map_screen_art.h"

#include "engine/core/strings.h"
#include "engine/graphics/font.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "engine/ui/script_widget.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_app.h"
#include "game/app/name_fit.h"
#include "game/app/player_record.h"

namespace {

constexpr int32_t kSkyStepRaw = 128;  // half a pixel

}  // namespace

LoadResult LoadMapArt(GameApp* app, Surface*& slot, const char* colour, const char* alpha)
{
    if (!app)
        return LoadResult::Unmade(colour, "no application to read it");
    String folder = app->GetImageFolder();
    String path = Joined(folder, colour);
    slot = app->CreateImage();
    if (!slot)
        return LoadResult::Unmade(path.CStr(), "no memory left");
    LoadResult why = LoadImage(app, path.CStr(), slot).why;
    if (why.failed() || !alpha)
        return why;
    return LoadAlphaImage(app, Joined(folder, alpha).CStr(), slot).why;
}

void ScrollMapSky(Fixed& offset, const Surface* sky)
{
    if (!sky)
        return;
    offset = Fixed::Raw(offset.raw + kSkyStepRaw);
    if (offset.raw >= 0)
        offset = Fixed::SubtractInt(offset, sky->GetWidth());
}

void DrawMapSky(Surface* display, Surface* sky, Fixed offset)
{
    if (!display || !sky || sky->GetWidth() <= 0)
        return;
    for (int x = offset.ToInt(); x < display->GetWidth(); x += sky->GetWidth())
        sky->Draw(display, x, 0, sky->GetWidth(), sky->GetHeight(), 0, 0);
}

namespace {

// Cuts a name that would run past the right edge and ends it with an ellipsis.
void FitNameBefore(TextWidget* name, int right)
{
    Rect area;
    name->GetLayoutRect(area);
    name->SetText(FitName("%s", name->GetText().CStr(), name->GetLook().font, right - area.x).CStr());
    name->Relayout();
}

}  // namespace

void FillHighScoreRows(Widget* screen, const ScoreEntry* entries)
{
    for (int row = 1; row <= 3; ++row) {
        String nameKey, valueKey;
        nameKey.Format("txt_hs_name_%d", row);
        valueKey.Format("txt_hs_value_%d", row);
        auto* name = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(screen, nameKey.CStr()));
        auto* value = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(screen, valueKey.CStr()));
        String nameText, valueText;
        nameText.Assign(" ");
        valueText.Assign(" ");
        if (entries) {
            const ScoreEntry& entry = entries[row - 1];
            // The stored name may fill its field without a terminator.
            char copy[kPlayerNameBytes + 1] = {};
            for (int i = 0; i < kPlayerNameBytes && entry.name[i]; ++i)
                copy[i] = entry.name[i];
            nameText.Assign(copy);
            valueText.Format("%d", static_cast<int>(entry.score));
        }
        if (name) {
            name->SetText(nameText.CStr());
            name->Relayout();
        }
        if (value) {
            value->SetText(valueText.CStr());
            value->Relayout();
        }
        // The name ends a blank's width before its score.
        if (name && value && name->GetLook().font) {
            Rect score;
            value->GetLayoutRect(score);
            FitNameBefore(name, score.x - name->GetLook().font->MeasureText(" "));
        }
    }
}

bool OfferPointerToChildren(Widget* screen, int x, int y, int kind, bool& result)
{
    for (int i = screen->GetChildCount() - 1; i >= 0; --i) {
        Widget* child = screen->GetChild(i);
        if (!child)
            continue;
        if (!child->IsVisible() || !(child->HitTest(x, y) || child->IsModal()))
            continue;
        screen->SetFocusChild(child);
        result = child->OnPointer(x, y, kind);
        return true;
    }
    return false;
}
