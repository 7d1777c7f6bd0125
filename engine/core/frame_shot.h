#pragma once
// Pictures written for the desktop as 8-bit RGB PNGs, each put in place whole or not at all (see
// WriteRunFile); a refusal says why.
#include "platform/outcome.h"

// The picture last shown on the display.
Outcome WritePresentedFramePng(const char* path);
// Rows of 8-bit RGB, top first.
Outcome WriteRgbPng(const char* path, int width, int height, const unsigned char* rgb);
