#pragma once
// The line grammar shared by the layout script, the style sheet, the sprite scripts and the
// particle files: "key = value" or "key: value" lines, "//" comments, double-quoted values, comma
// lists and decimal numbers. Nothing here reports errors: bad input gives empty texts or 0.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/strings.h"

class Stream;

// Next non-empty, non-comment line, trimmed at both ends; false at the end of the stream.
bool ReadScriptLine(Stream* stream, ShortString& line);
// Raw line readers: the stream's data in place when it is in memory, else a byte at a time.
ShortString& ReadLineFromMemory(ShortString& line, Stream* stream);
ShortString& ReadLineFromStream(ShortString& line, Stream* stream);
// The raw line grammar over a buffer from *index to size; *index moves past what was read.
ShortString& ReadLineFromBuffer(ShortString& line, const char* data, int32_t size, int32_t* index);

bool IsKeyValueLine(const char* line);
bool SplitKeyValue(const char* line, ShortString& key, ShortString& value);
ShortString& TrimRight(ShortString& out, const char* in);
ShortString& StripQuotes(ShortString& out, const char* in, char open, char close);
ShortString& Unquote(ShortString& out, const char* in);
// Items split at commas and at blanks outside double quotes; *count gets the number found, at
// most maxItems.
void SplitList(const char* text, int maxItems, ShortString* items, int* count);
// Items split at blanks and commas; unused items stay empty.
void SplitWords(const char* text, int maxItems, ShortString* items);
// Digits are read from the end of the text: " 12" is 12, "12 " is 0, "1.5" is 5.
int32_t ParseInt(const char* text);
Fixed& ParseFixed8(Fixed& out, const char* text, int shift);
Fixed16& ParseFixed16(Fixed16& out, const char* text, int shift);
// Either name completes the other; a trailing ".jpg" or ".png" is cut from both.
bool PairImageNames(ShortString& name, ShortString& alphaName);
