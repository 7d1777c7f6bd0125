#include "flows/screen_reading.h"

#include <gtest/gtest.h>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/dialog_widget.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/widget_desc.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "support/widget_box.h"

namespace {

bool Blank(const char* text)
{
    if (!text)
        return true;
    for (; *text; ++text)
        if (*text != ' ')
            return false;
    return true;
}

// The caption a button's description gives it: a text id or a caption of its own.
bool HasCaptionSource(ScriptWidget* widget)
{
    const WidgetDesc* desc = widget->GetDesc();
    const TextSpec* spec = GetTextSpec(desc);
    return desc && (!desc->txtid.IsEmpty() || (spec && !spec->caption.IsEmpty()));
}

void CheckText(TextWidget* text, const Box& holder, const std::string& where)
{
    const char* name = text->GetName();
    EXPECT_FALSE(Blank(text->GetText().CStr())) << where << ": " << name << " says nothing";
    Font* font = text->GetLook().font;
    if (!font)
        return;
    Box box = BoxOf(text);
    if (auto* multi = dynamic_cast<TextMultiWidget*>(text)) {
        const WrappedText* block = multi->GetBlock();
        for (int i = 0; block && i < block->GetLineCount(); ++i) {
            EXPECT_LE(font->MeasureText(block->GetLine(i)->CStr()), multi->GetWrapWidth())
                << where << ": " << name << " line " << i << " \"" << block->GetLine(i)->CStr() << "\"";
        }
    } else {
        EXPECT_LE(font->MeasureText(text->GetText().CStr()), box.w)
            << where << ": " << name << " \"" << text->GetText().CStr() << "\"";
    }
    EXPECT_TRUE(box.Inside(holder)) << where << ": " << name << " \"" << text->GetText().CStr() << "\" at " << box.x
                                    << "," << box.y << " " << box.w << "x" << box.h << " outside " << holder.x << ","
                                    << holder.y << " " << holder.w << "x" << holder.h;
}

void CheckButton(ButtonWidget* button, const Box& holder, const std::string& where)
{
    const char* name = button->GetName();
    const char* caption = button->GetCaption().CStr();
    if (HasCaptionSource(button)) {
        EXPECT_FALSE(Blank(caption)) << where << ": " << name << " has no caption";
    }
    Box box = BoxOf(button);
    EXPECT_TRUE(box.Inside(holder)) << where << ": " << name;
    Font* font = button->GetLook().font;
    if (font && caption && !dynamic_cast<CheckBoxWidget*>(button)) {
        EXPECT_LE(font->MeasureText(caption), box.w) << where << ": " << name << " \"" << caption << "\"";
    }
}

// The texts and buttons below `widget`, each inside `holder`; dialogs are checked on their own.
void CheckParts(ScriptWidget* widget, const Box& holder, const std::string& where)
{
    for (int i = 0; i < widget->GetChildCount(); ++i) {
        ScriptWidget* part = AsScriptWidget(widget->GetChild(i));
        if (!part || !part->IsVisible() || part->IsDialog())
            continue;
        if (auto* text = dynamic_cast<TextWidget*>(part))
            CheckText(text, holder, where);
        else if (auto* button = dynamic_cast<ButtonWidget*>(part))
            CheckButton(button, holder, where);
        CheckParts(part, holder, where);
    }
}

}  // namespace

GameScreen* ShownScreen(GameApp* app)
{
    for (int i = app ? app->GetChildCount() - 1 : -1; i >= 0; --i) {
        ScriptWidget* script = AsScriptWidget(app->GetChild(i));
        if (script && script->IsRoot())
            return dynamic_cast<GameScreen*>(script);
    }
    return nullptr;
}

std::vector<ScriptWidget*> OpenDialogs(GameApp* app)
{
    std::vector<ScriptWidget*> dialogs;
    GameScreen* screen = ShownScreen(app);
    for (int i = 0; screen && i < screen->GetChildCount(); ++i) {
        ScriptWidget* child = AsScriptWidget(screen->GetChild(i));
        if (child && child->IsDialog() && child->IsVisible())
            dialogs.push_back(child);
    }
    return dialogs;
}

ScriptWidget* TopDialog(GameApp* app)
{
    std::vector<ScriptWidget*> dialogs = OpenDialogs(app);
    return dialogs.empty() ? nullptr : dialogs.back();
}

ScriptWidget* VisibleWidget(GameApp* app, const char* name)
{
    ScriptWidget* places[2] = {TopDialog(app), ShownScreen(app)};
    for (ScriptWidget* place : places) {
        ScriptWidget* widget = place ? ScriptWidget::FindByName(place, name) : nullptr;
        if (widget && widget->IsVisible())
            return widget;
    }
    return nullptr;
}

void ExpectReadable(GameApp* app, const std::string& where)
{
    GameScreen* screen = ShownScreen(app);
    ASSERT_NE(screen, nullptr) << where;
    Surface* display = app->GetScreenSurface();
    ASSERT_NE(display, nullptr) << where;
    const Box whole{0, 0, display->GetWidth(), display->GetHeight()};
    CheckParts(screen, whole, where);
    for (ScriptWidget* dialog : OpenDialogs(app)) {
        std::string place = where + "/" + dialog->GetName();
        SCOPED_TRACE(place);
        CheckParts(dialog, BoxOf(dialog), place);
    }
}
