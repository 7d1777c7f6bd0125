#pragma once
// What a player reads on the screen in front of him: the screen the game shows, the dialogs open
// over it, and whether every text there says something and fits where it stands.
#include <string>
#include <vector>

class GameApp;
class GameScreen;
class ScriptWidget;

// The screen the game shows now (the last root among the application's children), or null.
GameScreen* ShownScreen(GameApp* app);
// The visible dialogs over the shown screen, the top one last.
std::vector<ScriptWidget*> OpenDialogs(GameApp* app);
ScriptWidget* TopDialog(GameApp* app);
// A visible widget of that name on the top dialog, else on the screen; null when there is none.
ScriptWidget* VisibleWidget(GameApp* app, const char* name);

// Every visible text of the screen and its dialogs says something (not only blanks) and fits its
// box: one line within the widget's set width and inside its dialog (or the display), a wrapped
// line within the wrap width, a caption within its button. Failures name `where`; the layout
// check (layout_check.h) says whether the pieces lie apart.
void ExpectReadable(GameApp* app, const std::string& where);
