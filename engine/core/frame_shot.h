#pragma once
// Writes the picture last shown on the display as an 8-bit RGB PNG.
bool WritePresentedFramePng(const char* path);
// Rows of 8-bit RGB, top first, written as a PNG; a file left half written is removed.
bool WriteRgbPng(const char* path, int width, int height, const unsigned char* rgb);
