#include "game/help/about_screen.h"

#include <new>

#include "engine/core/pointer_phase.h"
#include "engine/core/text_script.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/string_table.h"
#include "game/app/game_app.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"

namespace {

bool Named(const char* name, const char* expected)
{
    return name && SameText(name, expected);
}

}  // namespace

AboutScreen::AboutScreen(GameApp* app) : GameScreen(app)
{
    const LayoutTable& layout = app->GetLayoutTable();
    scroll_.SetSpeeds(layout.fixed[kLayoutAboutAutoSpeed], layout.fixed[kLayoutAboutKeySpeed]);
}

AboutScreen::~AboutScreen()
{
    DeleteAndNull(credits_);
}

bool AboutScreen::Create()
{
    if (!LoadLayout("keloui.txt", "root_about"))
        return false;
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (ScriptWidget* window = ScriptWidget::FindByName(this, "img_dummy")) {
        // An image's own rectangle stays 1x1: its laid-out size comes from its picture.
        window->GetLayoutRect(clip_);
        window->Hide();
    } else if (display) {
        clip_ = Rect{0, display->GetHeight() / 4, display->GetWidth(), display->GetHeight() / 2};
    }
    credits_ = new (std::nothrow) WrappedText();
    // Without its block the screen still shows, only without credits.
    if (!credits_ || !app)
        return true;
    String text;
    if (StringTable* table = app->GetLanguageTable())
        table->Lookup(text, "STR_CREDITS");
    ShortString stripped;
    StripQuotes(stripped, text.CStr(), '"', '"');
    // An empty text leaves a block of no lines.
    if (stripped.Length() > 0 && !credits_->SetText(clip_.w, app->GetSmallFont(), stripped.CStr()))
        return false;
    credits_->width = clip_.w;
    textHeight_ = credits_->GetHeight(app->GetSmallFont(), 0);
    scroll_.Start(textHeight_, clip_.h);
    return true;
}

void AboutScreen::Update()
{
    GameScreen::Update();
    scroll_.Update();
}

void AboutScreen::Draw()
{
    DialogWidget::Draw();
    GameApp* app = GetGameApp();
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!credits_ || !display)
        return;
    // The whole alpha byte: the font draws nothing at 0 or below.
    credits_->Draw(display, clip_.x, clip_.y - scroll_.position.ToInt(), app->GetSmallFont(), 255, 255, 255, 0, 255,
                   0, &clip_);
}

bool AboutScreen::OnKey(int key, bool down)
{
    if (FindModalChild())
        return DialogWidget::OnKey(key, down);
    switch (key) {
    case kKeyBack:
        if (!down)
            SendEvent(this, kMsgCommand, "btn_help_ok", 0);
        return true;
    case kKeyDown:
        scroll_.SetKeyDirection(down ? 1 : 0);
        return true;
    case kKeyUp:
        scroll_.SetKeyDirection(down ? -1 : 0);
        return true;
    }
    return DialogWidget::OnKey(key, down);
}

bool AboutScreen::OnPointer(int x, int y, int kind)
{
    if (FindModalChild())
        return DialogWidget::OnPointer(x, y, kind);
    // Only the topmost child under the stylus is asked, and only its own yes (the button's) ends
    // the handling: the backdrop lies under everything and the credits must still be dragged.
    for (int i = children_.Count() - 1; i >= 0; --i) {
        Widget* child = ChildAt(i);
        if (!child->IsVisible() || !child->HitTest(x, y))
            continue;
        if (child->OnPointer(x, y, kind))
            return true;
        break;
    }
    switch (kind) {
    case kPointerDown:
        scroll_.Press(y);
        break;
    case kPointerMove:
        scroll_.Move(y);
        break;
    case kPointerUp:
        scroll_.Release(y);
        break;
    }
    return true;
}

bool AboutScreen::OnEvent(Widget* sender, int code, const char* name, int param)
{
    if (code == kMsgCommand && Named(name, "btn_help_ok")) {
        if (application_)
            SendEvent(application_, kEventStartMenu, nullptr, 0, true);
        return true;
    }
    return DialogWidget::OnEvent(sender, code, name, param);
}
