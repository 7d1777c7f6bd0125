#pragma once
// The flat-coloured art of the widget tests and the sets of "root_widgets".
#include "widget_test_support.h"

namespace widget_art {

const Rgb kLogo{200, 40, 40};
const Rgb kBarEmpty{64, 64, 64}, kBarFull{0, 200, 0};
const Rgb kBox{128, 0, 0}, kBoxFocused{160, 0, 0}, kBoxOn{0, 0, 248};
const Rgb kTrack{96, 96, 96}, kTrackFull{0, 128, 248};
const Rgb kHandle{248, 248, 0}, kHandleFocused{248, 128, 0}, kHandleDragged{248, 0, 0};
const Rgb kButton{40, 40, 200}, kButtonFocused{80, 80, 248}, kButtonPressed{0, 0, 120};
const Rgb kMenu{40, 160, 40}, kMenuFocused{80, 248, 80};
const Rgb kTopTile{120, 0, 120}, kCenterTile{0, 120, 120}, kBottomTile{120, 120, 0};
const Rgb kLeftTile{248, 0, 248}, kRightTile{0, 248, 248};

inline bool Write(WidgetApp& app)
{
    return app.WriteFrames("logo.png", 20, 10, {kLogo}) && app.WriteFrames("bar_empty.png", 100, 6, {kBarEmpty}) &&
           app.WriteFrames("bar_full.png", 100, 6, {kBarFull}) && app.WriteFrames("box.png", 12, 12, {kBox, kBoxFocused}) &&
           app.WriteFrames("box_on.png", 12, 12, {kBoxOn}) && app.WriteFrames("track.png", 100, 8, {kTrack}) &&
           app.WriteFrames("track_full.png", 100, 8, {kTrackFull}) &&
           app.WriteFrames("handle.png", 6, 12, {kHandle, kHandleFocused, kHandleDragged}) &&
           app.WriteFrames("button.png", 40, 16, {kButton, kButtonFocused, kButtonPressed}) &&
           app.WriteFrames("button1.png", 40, 16, {kButton}) &&
           app.WriteFrames("button2.png", 40, 16, {kMenu, kMenuFocused}) &&
           app.WriteFrames("tile_t.png", 20, 4, {kTopTile}) && app.WriteFrames("tile_c.png", 20, 10, {kCenterTile}) &&
           app.WriteFrames("tile_b.png", 20, 4, {kBottomTile}) && app.WriteFrames("tile_l.png", 5, 10, {kLeftTile}) &&
           app.WriteFrames("tile_r.png", 7, 10, {kRightTile}) &&
           app.LoadSprites("set = buttons\nfile = button2, 2\nend\n"
                           "set = track\nfile = track\nend\nset = track_full\nfile = track_full\nend\n"
                           "set = handle\nfile = handle, 3\nend\n"
                           "set = tile_t\nfile = tile_t\nend\nset = tile_c\nfile = tile_c\nend\n"
                           "set = tile_b\nfile = tile_b\nend\nset = tile_l\nfile = tile_l\nend\n"
                           "set = tile_r\nfile = tile_r\nend\n");
}

}  // namespace widget_art
