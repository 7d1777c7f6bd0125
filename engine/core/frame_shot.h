#pragma once
// Writes the picture last shown on the display as an 8-bit RGB PNG.
bool WritePresentedFramePng(const char* path);
