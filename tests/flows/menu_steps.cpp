#include "flows/menu_steps.h"

#include <cstring>

#include "engine/ui/tuner_widget.h"
#include "flows/scripted_game.h"

bool DialogAtRest(const ScriptedGame& game, const char* dialog)
{
    ScriptWidget* open = game.OpenDialog();
    return open && std::strcmp(open->GetName(), dialog) == 0 && game.Shows(dialog) && !open->IsFadingIn() &&
           !open->IsClosing();
}

bool PlayFirstStage(ScriptedGame& game)
{
    if (!game.TapWidget("btn_sm_adventure") || !game.TapWidget("btn_adv_play") ||
        !game.WaitUntil([&] { return game.Shows("btn_help_ok") || game.Board(); }, 600))
        return false;
    if (!game.Board() && !game.TapWidget("btn_help_ok"))
        return false;
    return game.WaitUntil([&] { return game.Board() && game.Shows("btn_menu"); }, 600);
}

bool OpenBy(ScriptedGame& game, const char* button, const char* dialog)
{
    return game.TapWidget(button) && game.WaitUntil([&] { return DialogAtRest(game, dialog); }, 120);
}

bool CloseBy(ScriptedGame& game, const char* button)
{
    ScriptWidget* open = game.OpenDialog();
    if (!open)
        return false;
    std::string name = open->GetName();
    if (!game.TapWidget(button))
        return false;
    return game.WaitUntil([&] { return !game.Find(name.c_str()); }, 120);
}

int TunerValue(const ScriptedGame& game, const char* tuner)
{
    auto* widget = dynamic_cast<TunerWidget*>(game.Find(tuner));
    return widget ? widget->GetValue() : -1;
}

bool SlideTuner(ScriptedGame& game, const char* tuner, int from, int to)
{
    ScriptWidget* widget = game.Find(tuner);
    if (!widget || !game.Shows(tuner))
        return false;
    Point at;
    widget->GetPosition(at);
    Size size;
    widget->GetPreferredSize(size);
    int y = at.y + size.h / 2;
    game.Press(at.x + size.w * from / 1000, y);
    game.Drag(at.x + size.w * to / 1000, y);
    game.Release(at.x + size.w * to / 1000, y);
    return true;
}
