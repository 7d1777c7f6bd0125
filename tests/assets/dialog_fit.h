// Fit checks of an open dialog on the shipped data: the dialog lies on the screen, its parts lie
// inside it without covering one another and every caption fits its button.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/graphics/font.h"
#include "engine/ui/button_widget.h"
#include "shipped_game_app.h"

struct Box {
    int x, y, w, h;
    bool Inside(const Box& outer) const
    {
        return x >= outer.x && y >= outer.y && x + w <= outer.x + outer.w && y + h <= outer.y + outer.h;
    }
    bool Overlaps(const Box& other) const
    {
        return x < other.x + other.w && other.x < x + w && y < other.y + other.h && other.y < y + h;
    }
};

inline Box BoxOf(ScriptWidget* widget)
{
    Point at;
    widget->GetPosition(at);
    Size size;
    widget->GetPreferredSize(size);
    return Box{at.x, at.y, size.w, size.h};
}

// The caption of a button may take all of its face but the carved ends.
inline void CheckDialogOn(Surface* display, ScriptWidget* dialog)
{
    Box whole = BoxOf(dialog);
    EXPECT_TRUE(whole.Inside(Box{0, 0, display->GetWidth(), display->GetHeight()}))
        << whole.x << "," << whole.y << " " << whole.w << "x" << whole.h;
    std::vector<std::pair<ScriptWidget*, Box>> parts;
    for (int i = 0; i < dialog->GetChildCount(); ++i) {
        ScriptWidget* part = AsScriptWidget(dialog->GetChild(i));
        if (!part || part == dialog->GetBackgroundWidget() || !part->IsVisible())
            continue;
        Box box = BoxOf(part);
        EXPECT_TRUE(box.Inside(whole)) << part->GetName();
        for (const auto& [other, otherBox] : parts)
            EXPECT_FALSE(box.Overlaps(otherBox)) << part->GetName() << " covers " << other->GetName() << ": "
                                                 << box.y << "+" << box.h << " and " << otherBox.y << "+" << otherBox.h;
        parts.emplace_back(part, box);
        if (auto* button = dynamic_cast<ButtonWidget*>(part)) {
            if (dynamic_cast<CheckBoxWidget*>(part) || !button->GetLook().font)
                continue;
            int face = box.w * 13 / 16;
            EXPECT_LE(button->GetLook().font->MeasureText(button->GetCaption().CStr()), face)
                << part->GetName() << ": " << button->GetCaption().CStr();
        }
    }
}

inline void CheckDialog(ShippedGameApp& app, ScriptWidget* dialog)
{
    CheckDialogOn(app.GetScreenSurface(), dialog);
}
