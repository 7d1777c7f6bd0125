#pragma once
// A widget's laid-out rectangle, as the layout checks compare them.
#include "engine/ui/script_widget.h"

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
