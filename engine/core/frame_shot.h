#pragma once
// Pictures written for the desktop as 8-bit RGB PNGs, each put in place whole or not at all (see
// WriteRunFile); false with the reason in why.
#include <string>

// The picture last shown on the display.
bool WritePresentedFramePng(const char* path, std::string* why = nullptr);
// Rows of 8-bit RGB, top first.
bool WriteRgbPng(const char* path, int width, int height, const unsigned char* rgb, std::string* why = nullptr);
