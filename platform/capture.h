#pragma once
// What a run is asked to do beyond being the handheld: KELO_FRAMES stops it after the program has
// shown that many frames (as if the window were closed), KELO_SHOT names a PNG for the last one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/outcome.h"

struct RunOptions {
    int frameLimit = 0;  // 0: no limit
    std::string shotPath;
};

const RunOptions& GetRunOptions();
// A frame count as KELO_FRAMES gives it: a whole decimal number from 1 to 100000000, nothing after it.
bool ParseFrameCount(const char* text, int* count);
void SetRunOptions(const RunOptions& options);

// Puts a file the run writes for the desktop (KELO_SHOT's picture, a test's contact sheet) at a
// host path whole or not at all: the bytes go to a temporary made afresh beside it (never through
// a link), flushed, then renamed over it; on failure only the temporary is removed. Whatever
// stands at the path and is not a regular file (a link counts by what it points to) is left alone
// and refused.
Outcome WriteRunFile(const char* path, const void* bytes, size_t size);

// The picture last shown on the display, 5:6:5, in the display's current orientation.
struct PresentedFrame {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;
};
// False before anything was presented.
bool GetPresentedFrame(PresentedFrame* frame);
// Frames the program showed since start-up (or since the null back end was reset): through GDI, GAPI
// or by telling the display it wrote the raw frame buffer. The display's own refreshes of the raw
// frame buffer show the picture but count for nothing.
int GetPresentedFrameCount();
