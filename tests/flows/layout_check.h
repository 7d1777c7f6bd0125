#pragma once
// The layout check over the widget tree of what the player sees: the shown screen and the dialogs
// open over it, read from their laid-out rectangles and the texts' measured sizes (the texts a
// widget or screen draws itself included), not from pixels. Each finding fails the running test
// and names `where` (the flow, its language, the size and the stop) and the two pieces.
#include <string>

class GameApp;
class ScriptWidget;

// No two visible texts of one layer overlap; each text lies within its widget's box, a button's
// caption within the plain middle its art marks between the end ornaments; nothing visible lies
// off the screen, and a text (by its inked rows) keeps 2 design pixels (1 at least) from its edge;
// nothing but the close button lies under the close button; nothing in a framed dialog reaches
// past its frame's inner rectangle, and no text on a panel the screen's picture paints runs past
// that panel's inside, both as the art marks them; an open dialog's parts (texts' boxes too) lie
// inside it and apart, and a caption on a button whose art marks no plain middle keeps off the
// carved ends. Every text place a widget reports is read, however many. Answers the number of
// findings.
int ExpectLaidOut(GameApp* app, const std::string& where);
// The same over the screen with the dialog open, which must be shown: a dialog still faded out
// would pass unseen.
int ExpectLaidOutWith(GameApp* app, ScriptWidget* dialog, const std::string& where);
