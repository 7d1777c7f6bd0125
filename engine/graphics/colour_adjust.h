#pragma once
// Conversions between 8-bit RGB and an HSL triple on 0..255 scales, in double precision; meant for
// preparing images, not for every frame. Surface::AdjustHsl and Surface::Brighten use them.

// Hue in 0..254 (a full turn folds back to 0, so pure reds keep their colour).
void RgbToHsl(int r, int g, int b, int& h, int& s, int& l);
// Channels truncated and clamped to 0..255; a hue of 255 or more comes back grey.
void HslToRgb(int h, int s, int l, int& r, int& g, int& b);
