#include "game/screens/end_screen.h"

#include <new>

#include "engine/core/archive.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"

namespace {

constexpr const char* kLayoutFile = "keloui.txt";

}  // namespace

EndScreen::EndScreen(GameApp* app) : GameScreen(app)
{
    if (!app)
        return;
    const LayoutTable& table = app->GetLayoutTable();
    rect_ = Rect{table.ints[kLayoutEndTextX], table.ints[kLayoutEndTextX + 1], table.ints[kLayoutEndTextX + 2],
                 table.ints[kLayoutEndTextX + 3]};
}

EndScreen::~EndScreen()
{
    delete block_;
}

bool EndScreen::Create()
{
    GameApp* app = GetGameApp();
    if (!app || !LoadLayout(kLayoutFile, "root_theend"))
        return false;
    if (Surface* display = app->GetScreenSurface())
        SetRect(0, 0, display->GetWidth(), display->GetHeight());
    block_ = new (std::nothrow) WrappedText();
    if (!block_)
        return true;
    String text;
    if (StringTable* table = app->GetLanguageTable())
        table->Lookup(text, "STR_END_TEXT");
    // No text is a block of no lines, not a failure.
    if (!text.IsEmpty() && !block_->SetText(rect_.w, app->GetMainFont(), text.CStr()))
        return false;
    block_->width = rect_.w;
    textHeight_ = Fixed::FromInt(block_->GetHeight(app->GetMainFont(), 0));
    startOffset_ = Fixed::FromInt(-rect_.h);
    offset_ = startOffset_;
    step_ = Fixed::FromInt(app->GetLayoutTable().ints[kLayoutEndStep]);
    return true;
}

void EndScreen::Update()
{
    GameScreen::Update();
    offset_ += step_;
    // Once the last line has left the top the text comes again from below.
    if (offset_ >= textHeight_)
        offset_ -= textHeight_ - startOffset_;
}

void EndScreen::Draw()
{
    DialogWidget::Draw();
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!block_ || !display)
        return;
    block_->Draw(display, rect_.x, rect_.y - (offset_.raw >> 8), app->GetMainFont(), 255, 255, 255, 0, 255, 0, &rect_);
}

bool EndScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgCommand && name && SameText(name, "btn_end_ok")) {
        SendEvent(GetGameApp(), kEventStartMenu, nullptr, 0, true);
        return true;
    }
    return DialogWidget::OnEvent(sender, code, name, param);
}

bool EndScreen::Serialize(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    int32_t raw = offset_.raw;
    archive.SerializeWord(raw);
    if (!archive.IsOk())
        return false;
    if (saving)
        return true;
    // The language or the screen may have changed since: an offset outside the loop starts over.
    offset_.raw = raw;
    if (offset_ < startOffset_ || offset_ >= textHeight_)
        offset_ = startOffset_;
    return true;
}
