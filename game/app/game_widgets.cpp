#include "game/app/game_widgets.h"

#include "engine/core/options_record.h"
#include "engine/graphics/fill_lines.h"
#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/ui/dialog_widget.h"
#include "engine/ui/widget_desc.h"
#include "game/app/game_app.h"
#include "game/app/sound_bank.h"

namespace {

GameApp* AsGameApp(Application* app)
{
    return dynamic_cast<GameApp*>(app);
}

int ScreenHeight(Application* app)
{
    Surface* screen = app ? app->GetScreenSurface() : nullptr;
    return screen ? screen->GetHeight() : 0;
}

// A format that takes one integer at most: anything else would read arguments never given.
bool TakesOneInteger(const char* format)
{
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '0' || *p == '#' || (*p >= '0' && *p <= '9'))
            ++p;
        if ((*p != 'd' && *p != 'i') || ++conversions > 1)
            return false;
    }
    return true;
}

}  // namespace

int RemappedAlpha(int32_t effectiveAlpha)
{
    int a = (effectiveAlpha >> 8) & 255;
    if (a < 255)
        a = a > 128 ? (a - 128) * 2 : 0;
    return a;
}

GameApp* TextButton::GetGameApp() const
{
    return AsGameApp(application_);
}

Point TextButton::CentredCaptionOrigin()
{
    return CentredCaption();
}

bool TextButton::Init()
{
    if (!ButtonWidget::Init())
        return false;
    GameApp* app = GetGameApp();
    if (!app)
        return true;
    if (look_.font && look_.font == app->GetMainFont()) {
        captionX_ = GameApp::LayoutInt(app, kLayoutCaptionX);
        captionY_ = GameApp::LayoutInt(app, kLayoutCaptionY);
    }
    auto* desc = dynamic_cast<ButtonDesc*>(desc_);
    if (desc && SameText(desc->image.set.CStr(), "btn_letter")) {
        captionX_ = GameApp::LayoutInt(app, kLayoutLetterCaptionX);
        captionY_ = GameApp::LayoutInt(app, kLayoutLetterCaptionY);
    } else if (look_.font && look_.font == app->GetSmallFont() && ScreenHeight(app) < 480) {
        captionX_ += 2;
    }
    return true;
}

void TextButton::Draw()
{
    if (effectiveAlpha_ <= 0)
        return;
    DrawImage();
    DrawCaption();
}

Point TextButton::CaptionPlace()
{
    Point at = CentredCaption();
    at.x += captionX_;
    at.y += captionY_;
    return at;
}

bool TextButton::HitTest(int x, int y)
{
    if (!image_.entry && width_ > 1 && height_ > 1)
        return PointInRect(x, y, Rect{x_, y_, width_, height_});
    return ButtonWidget::HitTest(x, y);
}

bool TextButton::SendEvent(Widget* target, int code, const char* name, int param, bool fade)
{
    if (code == kMsgPressed) {
        GameApp* app = GetGameApp();
        if (SoundBank* bank = app ? app->GetSoundBank() : nullptr)
            bank->Play(kButtonSound);
    }
    return ButtonWidget::SendEvent(target, code, name, param, fade);
}

Point ControlRadio::CaptionPlace()
{
    return selected_ ? CentredCaption() : TextButton::CaptionPlace();
}

void ControlRadio::Draw()
{
    if (!selected_) {
        TextButton::Draw();
        return;
    }
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0)
        return;
    int alpha = RemappedAlpha(effectiveAlpha_);
    Point centre;
    GetCenter(centre);
    if (image_.entry) {
        int frame = image_.GetFrameCount() > 2 ? 2 : 0;
        if (Surface* image = image_.entry->GetFrame(frame))
            image->Draw(screen, centre.x - image->GetWidth() / 2, centre.y - image->GetHeight() / 2,
                        image->GetWidth(), image->GetHeight(), 0, alpha - 255);
    }
    if (caption_.IsEmpty() || !look_.font)
        return;
    int shift = pressed_ && !IsInputBlocked() ? 1 : 0;
    const char* text = caption_.CStr();
    int r = pressed_ ? 255 : 254, g = pressed_ ? 249 : 155, b = pressed_ ? 202 : 0;
    Point at = CaptionPlace();
    look_.font->DrawText(screen, at.x + shift, at.y + shift, text, r, g, b, look_.effect, alpha, nullptr);
}

bool GameTiledBg::IsDialogBackground()
{
    auto* dialog = dynamic_cast<DialogWidget*>(parent_);
    auto* desc = dialog ? dynamic_cast<DialogDesc*>(dialog->GetDesc()) : nullptr;
    return desc && desc_ && !desc->background.IsEmpty() && SameText(desc->background.CStr(), desc_->name.CStr());
}

void GameTiledBg::Draw()
{
    Surface* screen = GetScreen();
    if (screen && IsDialogBackground()) {
        int level = TextAlphaByte(effectiveAlpha_);
        FillRectRotatedBlend(application_, screen, 0, 0, screen->GetWidth(), screen->GetHeight(), 0, 0, 0,
                             level < 128 ? level : 128);
    }
    DrawTiles();
}

bool GameTuner::Init()
{
    if (!TunerWidget::Init())
        return false;
    volume_ = SameText(GetName(), "tuner_Sound") || SameText(GetName(), "tuner_Music");
    return true;
}

void GameTuner::SetLabels(const char* format, const char* zeroLabel)
{
    labelFormat_.Assign(format);
    zeroLabel_.Assign(zeroLabel);
}

String GameTuner::GetLabel() const
{
    String label;
    if (GetValue() == 0 && !zeroLabel_.IsEmpty())
        label = zeroLabel_;
    else if (!labelFormat_.IsEmpty() && TakesOneInteger(labelFormat_.CStr()))
        label.Format(labelFormat_.CStr(), GetValue());
    else if (!labelFormat_.IsEmpty())
        label = labelFormat_;
    return label;
}

void GameTuner::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || ((effectiveAlpha_ >> 8) & 255) <= 128)
        return;
    int alpha = RemappedAlpha(effectiveAlpha_);
    int trackFrame = 0, handleFrame = 0;
    if (dragging_) {
        trackFrame = 1;
        handleFrame = 2;
    } else if (parent_ && parent_->GetFocusChild() == this) {
        trackFrame = handleFrame = 1;
    }
    int adjust = alpha - 255;
    OptionsRecord* options = application_ ? application_->GetOptions() : nullptr;
    if (volume_ && options && options->mute)
        adjust -= 128;
    int fill = offsetLeft_ + handlePosition_;
    if (adjust > -255) {
        if (Surface* track = track_.entry ? track_.entry->GetFrame(trackFrame) : nullptr)
            track->Draw(screen, x_, y_, track->GetWidth(), track->GetHeight(), 0, adjust);
        if (Surface* handle = handle_.entry ? handle_.entry->GetFrame(handleFrame) : nullptr) {
            int cx = vertical_ ? x_ + thickness_ / 2 : x_ + fill;
            int cy = vertical_ ? y_ + fill : y_ + thickness_ / 2;
            handle->Draw(screen, cx - handle->GetWidth() / 2, cy - handle->GetHeight() / 2, handle->GetWidth(),
                         handle->GetHeight(), 0, adjust);
        }
    }
    GameApp* app = AsGameApp(application_);
    Font* font = app ? app->GetSmallFont() : nullptr;
    String label = GetLabel();
    if (!font || label.IsEmpty())
        return;
    Point at = LabelOrigin(font, label);
    // The filled part's label is yellow, the rest grey; the clip sizes are fixed numbers.
    int split = x_ + fill;
    Rect left{0, 0, split, 320}, right{split, 0, 480 - split, 320};
    font->DrawText(screen, at.x, at.y, label.CStr(), 255, 255, 128, 0, alpha, &left);
    font->DrawText(screen, at.x, at.y, label.CStr(), 224, 224, 224, 0, alpha, &right);
}

Point GameTuner::LabelOrigin(const Font* font, const String& label) const
{
    int w = labelFormat_.IsEmpty() ? 0 : font->MeasureText(labelFormat_.CStr());
    if (w == 0)
        w = font->MeasureText(label.CStr());
    Point at;
    at.x = x_ + width_ / 2 - w / 2;
    at.y = y_ + 15;
    return at;
}

int GameTuner::GetTextPlaces(TextPlace* out, int max)
{
    GameApp* app = AsGameApp(application_);
    Font* font = app ? app->GetSmallFont() : nullptr;
    String label = GetLabel();
    if (!font || label.IsEmpty())
        return 0;
    return PutTextPlace(out, max, font, LabelOrigin(font, label), label.CStr());
}

GameApp* TickBox::GetGameApp() const
{
    return AsGameApp(application_);
}

TickBox::~TickBox()
{
    if (GameApp* app = GetGameApp()) {
        app->ReleaseSprite(underline_);
        app->ReleaseSprite(underlineEnd_);
    }
}

bool TickBox::Init()
{
    if (!CheckBoxWidget::Init())
        return false;
    GameApp* app = GetGameApp();
    return app && app->AcquireSprite(underline_, "tick_ul_1") && app->AcquireSprite(underlineEnd_, "tick_ul_2");
}

void TickBox::Draw()
{
    Surface* screen = GetScreen();
    if (!screen || effectiveAlpha_ <= 0)
        return;
    bool blocked = IsInputBlocked();
    int shift = pressed_ && !blocked ? 1 : 0;
    int ux = x_, uy = y_;
    int boxX = 0, boxY = 0;
    if (Surface* box = DrawBox(screen, blocked, boxX, boxY)) {
        ux = boxX + box->GetWidth();
        uy = boxY;
    }
    if (caption_.IsEmpty() || !look_.font)
        return;
    const char* text = caption_.CStr();
    Point at = CaptionPlace();
    look_.font->DrawText(screen, at.x + shift, at.y + shift, text, look_.red, look_.green, look_.blue, look_.effect,
                         TextAlphaByte(effectiveAlpha_), nullptr);
    int textEnd = at.x + look_.font->MeasureText(text);
    Surface* tile = underline_ ? underline_->GetFrame(0) : nullptr;
    if (!tile || tile->GetWidth() <= 0)
        return;
    // The underline is drawn opaque whatever the fade.
    int tx = ux - GameApp::LayoutInt(GetGameApp(), kLayoutUnderlineLead);
    for (; tx < textEnd; tx += tile->GetWidth())
        tile->Draw(screen, tx, uy, tile->GetWidth(), tile->GetHeight(), 0, 0);
    if (Surface* end = underlineEnd_ ? underlineEnd_->GetFrame(0) : nullptr)
        end->Draw(screen, tx, uy, end->GetWidth(), end->GetHeight(), 0, 0);
}

Point TickBox::CaptionPlace()
{
    Point at = CheckBoxWidget::CaptionPlace();
    if (underline_ && look_.font)
        at.y -= ScreenHeight(application_) < 480 ? 2 : look_.font->GetLineHeight() / 2;
    return at;
}
