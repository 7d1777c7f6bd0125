#pragma once
// A player's name where the layout leaves it too little room: cut from its end and ended with an
// ellipsis, never shrunk, so that the text a format makes of it fits.
#include "engine/core/strings.h"

class Font;
class TextMultiWidget;

// The text the format ("%s" for the bare name) makes of the name, the name cut until that text
// measures no more than room pixels in the font; a name with no room for a letter is the ellipsis
// alone, and with none for that a blank. Without a font the text is made of the whole name.
String FitName(const char* format, const char* name, const Font* font, int room);
// The same for a paragraph whose width the layout gives: the text keeps to one line of it.
String FitNameOnOneLine(const char* format, const char* name, const TextMultiWidget* paragraph);
