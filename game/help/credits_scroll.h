#pragma once
// The credits' vertical scroll: an automatic crawl from below the window until the text's end
// reaches the window's bottom, then the stylus (drag and fling) and the up and down keys, with a
// rubber band that pulls the text back inside either end. Positions are pixels the text has moved
// up from the window's top.
#include "engine/core/fixed.h"

class CreditsScroll {
public:
    // Text and window heights; the text starts just below the window, crawling.
    void Start(int textHeight, int windowHeight);
    void SetSpeeds(Fixed autoSpeed, Fixed keySpeed);

    void Press(int y);
    // While the stylus is held each move's delta is applied once, so the text stays under it.
    void Move(int y);
    // Flings with the last move's delta.
    void Release(int y);
    // -1 up, 0 none, 1 down; a direction stops the crawl.
    void SetKeyDirection(int direction);
    void Update();

    Fixed position;
    Fixed maximum;
    Fixed velocity;
    Fixed correction;
    bool autoScroll = false;
    bool dragging = false;
    int keyDirection = 0;
    int lastY = 0;
    int delta = 0;

private:
    Fixed autoSpeed_ = Fixed::FromInt(1);
    Fixed keySpeed_ = Fixed::FromInt(2);
};
