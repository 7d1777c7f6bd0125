#include "game/screens/map_widgets.h"

#include <algorithm>

#include "engine/core/application.h"
#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/ui/dialog_widget.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/tables/display_mode.h"

namespace {

bool IsSquareLayout(Application* app)
{
    return app && app->GetLayoutIdCached() == kDisplayMode240x240;
}

// The running language's name, "enUS" style; empty without a table.
String CurrentLanguageName(Application* app)
{
    String name;
    if (StringTable* table = app ? app->GetLanguageTable() : nullptr)
        table->GetLanguageName(name, table->GetCurrentLanguage());
    return name;
}

void DrawMapCaption(Surface* screen, Font* font, const String& caption, Point at, const CaptionColour& colour,
                    int32_t alpha)
{
    font->DrawText(screen, at.x, at.y, caption.CStr(), colour.red, colour.green, colour.blue, colour.effect,
                   TextAlphaByte(alpha), nullptr);
}

}  // namespace

MapButton::MapButton(DialogWidget* parent, UiLayout* layout, WidgetDesc* desc, const ChildPlacement* placement)
    : TextButton(parent, layout, desc, placement)
{
    // The widget gets its application only after construction; the screen already has it.
    mapCaptionY_ = -GameApp::LayoutInt(parent ? parent->GetApplication() : nullptr, kLayoutMapCaptionY);
}

bool MapButton::Init()
{
    if (!TextButton::Init())
        return false;
    const char* name = GetName();
    bool back = SameText(name, "btn_gaunt_back");
    bool next = SameText(name, "btn_gaunt_next");
    if (back)
        mapCaptionX_ = GameApp::LayoutInt(application_, kLayoutBackCaptionX);
    else if (next)
        mapCaptionX_ = GameApp::LayoutInt(application_, kLayoutNextCaptionX);
    // The smallest screen has room for the English words only.
    if ((back || next) && IsSquareLayout(application_) && !SameText(CurrentLanguageName(application_).CStr(), "enUS"))
        caption_.Assign(back ? "<<" : ">>");
    return true;
}

Point MapButton::GetCaptionPosition()
{
    Point at = CentredCaptionOrigin();
    if (pressed_ && !captionStill_ && !IsInputBlocked()) {
        ++at.x;
        ++at.y;
    }
    at.x += mapCaptionX_;
    at.y += mapCaptionY_;
    return at;
}

int MapButton::GetTextPlaces(TextPlace* out, int max)
{
    return PutTextPlace(out, max, look_.font, GetCaptionPosition(), caption_.CStr());
}

CaptionColour MapButton::GetCaptionColour()
{
    if (GetVisualState() == 0)
        return {224, 160, 64, look_.effect};
    return {255, 255, 96, look_.effect};
}

void MapButton::Draw()
{
    if (effectiveAlpha_ <= 0)
        return;
    DrawImage();
    Surface* screen = GetScreen();
    if (!screen || caption_.IsEmpty() || !look_.font)
        return;
    DrawMapCaption(screen, look_.font, caption_, GetCaptionPosition(), GetCaptionColour(), effectiveAlpha_);
}

int ModeControl::CurrentFrame()
{
    const ImageRef& set = checked_ ? checkedImage_ : image_;
    int frame = GetVisualState();
    if (!set.entry)
        return frame;
    int count = set.GetFrameCount();
    if (frame >= count)
        frame = count - 1;
    if (frame > 0 && IsInputBlocked())
        frame = 0;
    return frame < 0 ? 0 : frame;
}

Surface* ModeControl::CurrentImage()
{
    // A checked control without its checked set draws no image at all.
    const ImageRef& set = checked_ ? checkedImage_ : image_;
    return set.entry ? set.entry->GetFrame(CurrentFrame()) : nullptr;
}

void ModeControl::DrawModeImage(int& imageWidth)
{
    imageWidth = 0;
    Surface* screen = GetScreen();
    Surface* image = CurrentImage();
    if (!screen || !image)
        return;
    imageWidth = image->GetWidth();
    Point centre;
    GetCenter(centre);
    int x = side_ == 1 ? x_ : centre.x - image->GetWidth() / 2;
    int y = side_ == 1 ? y_ : centre.y - image->GetHeight() / 2;
    int shift = pressed_ && imageShift_ && !IsInputBlocked() ? 1 : 0;
    image->Draw(screen, x + shift, y + shift, image->GetWidth(), image->GetHeight(), 0,
                ImageAlphaOffset(effectiveAlpha_));
}

// Keys and the stylus press it as any check box; a completed press only ever checks it: the
// screen unchecks the other radio.
void GauntletModeRadio::FinishPress()
{
    checked_ = true;
    SendEvent(nullptr, kMsgCheckToggled, GetName(), 1);
}

int GauntletModeRadio::GetTextPlaces(TextPlace* out, int max)
{
    return PutTextPlace(out, max, look_.font, GetCaptionPosition(), caption_.CStr());
}

Point GauntletModeRadio::GetCaptionPosition()
{
    if (!look_.font)
        return Point{};
    Point at = CentredCaption();
    if (side_ == 1) {
        Surface* image = CurrentImage();
        at.x = x_ + (image ? image->GetWidth() : 0);
    }
    at.x += GetTextGap() - look_.font->MeasureText(" ");
    if (IsPressShifted()) {
        ++at.x;
        ++at.y;
    }
    return at;
}

CaptionColour GauntletModeRadio::GetCaptionColour()
{
    bool lit = CurrentFrame() != 0;
    if (checked_)
        return lit ? CaptionColour{64, 255, 64, look_.effect} : CaptionColour{0, 208, 0, look_.effect};
    return lit ? CaptionColour{255, 255, 96, look_.effect} : CaptionColour{224, 160, 64, look_.effect};
}

void GauntletModeRadio::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0)
        return;
    int imageWidth = 0;
    DrawModeImage(imageWidth);
    if (caption_.IsEmpty() || !look_.font)
        return;
    DrawMapCaption(screen, look_.font, caption_, GetCaptionPosition(), GetCaptionColour(), effectiveAlpha_);
}

bool GauntletModeSwitch::Init()
{
    if (!CheckBoxWidget::Init())
        return false;
    if (StringTable* table = application_ ? application_->GetLanguageTable() : nullptr) {
        table->Lookup(practice_, "keloui_rad_practice");
        table->Lookup(survival_, "keloui_rad_survival");
    }
    return true;
}

int GauntletModeSwitch::LabelGap(int lineHeight)
{
    // A quarter line apart from the centre, less where the plaque is too low for that; never
    // closer than touching, whatever the font's blank rows.
    int gap = lineHeight / 4;
    if (Surface* image = CurrentImage()) {
        int below = image->GetHeight() - image->GetHeight() / 2;
        gap = std::min(gap, below - lineHeight - (IsSquareLayout(application_) ? 1 : 0));
    }
    return std::max(gap, 0);
}

int GauntletModeSwitch::LabelShift()
{
    return (IsPressShifted() ? 1 : 0) + (IsSquareLayout(application_) ? 1 : 0);
}

int GauntletModeSwitch::GetPracticeTop()
{
    auto* app = dynamic_cast<GameApp*>(application_);
    Font* font = app ? app->GetSmallFont() : nullptr;
    int lineHeight = font ? font->GetLineHeight() : 0;
    Point centre;
    GetCenter(centre);
    return centre.y - LabelGap(lineHeight) - lineHeight + LabelShift();
}

int GauntletModeSwitch::GetSurvivalTop()
{
    auto* app = dynamic_cast<GameApp*>(application_);
    Font* font = app ? app->GetSmallFont() : nullptr;
    Point centre;
    GetCenter(centre);
    return centre.y + LabelGap(font ? font->GetLineHeight() : 0) + LabelShift();
}

TextPlace GauntletModeSwitch::LabelPlace(const String& label, int top)
{
    auto* app = dynamic_cast<GameApp*>(application_);
    Font* font = app ? app->GetSmallFont() : nullptr;
    const char* text = label.CStr();
    if (!font || !text || !*text)
        return TextPlace();
    Point centre;
    GetCenter(centre);
    return PlaceText(font, centre.x - font->MeasureText(text) / 2 + LabelShift(), top, text);
}

int GauntletModeSwitch::GetTextPlaces(TextPlace* out, int max)
{
    int count = 0;
    for (const TextPlace& label : {LabelPlace(practice_, GetPracticeTop()), LabelPlace(survival_, GetSurvivalTop())}) {
        if (!label.font)
            continue;
        if (count < max)
            out[count] = label;
        ++count;
    }
    return count;
}

void GauntletModeSwitch::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0)
        return;
    int imageWidth = 0;
    DrawModeImage(imageWidth);
    const TextPlace practice = LabelPlace(practice_, GetPracticeTop());
    const TextPlace survival = LabelPlace(survival_, GetSurvivalTop());
    // Checked is survival: the other mode's label is drawn dim, first.
    const TextPlace& dim = checked_ ? practice : survival;
    const TextPlace& bright = checked_ ? survival : practice;
    if (dim.font)
        dim.font->DrawText(screen, dim.x, dim.y, dim.text.CStr(), 255, 255, 255, 0, 128, nullptr);
    if (bright.font)
        bright.font->DrawText(screen, bright.x, bright.y, bright.text.CStr(), 64, 255, 64, 5, 255, nullptr);
}
