#pragma once

// The display-mode code of a game area: it picks the layout table's sets, the UI folder and the
// screen pack. Only the six exact landscape sizes have codes of their own; any other size is 1.
enum DisplayModeCode : int {
    kDisplayModeOther = 1,
    kDisplayMode320x240 = 2,
    kDisplayMode640x480 = 5,
    kDisplayMode240x240 = 6,
    kDisplayMode320x320 = 13,
    kDisplayMode400x240 = 15,
    kDisplayMode800x480 = 17,
};

int DisplayModeOf(int width, int height);
