#pragma once

// True when the haystack contains the needle; a needle longer than the haystack gives false.
bool StringContains(const char* needle, const char* haystack);
// Whether the device's model text contains the text.
bool OemInfoContains(const char* text);
