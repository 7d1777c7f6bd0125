#pragma once
// The layout check over the widget tree of what the player sees: the shown screen and the dialogs
// open over it, read from their laid-out rectangles and the texts' measured sizes (the texts a
// widget or screen draws itself included), not from pixels. Each finding fails the running test
// and names `where` (the flow, its language, the size and the stop) and the two pieces.
#include <string>

class GameApp;

// No two visible texts of one layer overlap; each text lies within its widget's box, a button's
// caption within the plain middle its art marks between the end ornaments; nothing visible lies
// off the screen, and a text (by its inked rows) keeps 2 design pixels (1 at least) from its edge;
// nothing but the close button lies under the close button; nothing in a framed dialog reaches
// past its frame's inner rectangle, and no text on a panel the screen's picture paints runs past
// that panel's inside, both as the art marks them. Answers the number of findings.
int ExpectLaidOut(GameApp* app, const std::string& where);
