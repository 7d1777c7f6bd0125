#pragma once
// What a run is asked to do beyond being the handheld: KELO_FRAMES stops it after that many
// presented frames (as if the window were closed), KELO_SHOT names a PNG for the last one.
#include <cstdint>
#include <string>
#include <vector>

struct RunOptions {
    int frameLimit = 0;  // 0: no limit
    std::string shotPath;
};

const RunOptions& GetRunOptions();
void SetRunOptions(const RunOptions& options);

// The picture last shown on the display, 5:6:5, in the display's current orientation.
struct PresentedFrame {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;
};
// False before anything was presented.
bool GetPresentedFrame(PresentedFrame* frame);
// Pictures shown since start-up (or since the null back end was reset).
int GetPresentedFrameCount();
