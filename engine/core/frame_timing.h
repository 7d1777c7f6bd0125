#pragma once
// The frame: timer ticks become updates, draws and presents. Application's own share lives in
// application.h; this holds what the window procedure and the display call.
#include <cstdint>

#include "engine/core/strings.h"
#include "platform/base.h"

// WM_TIMER handler, whatever the timer id.
void OnTimerTick(HWND window);

// The variable-step "%2.2f fps" text: counts presented frames and every 100 turns them into a
// rate in 8.8 fixed point, of which the text shows the whole part.
class FrameRateText {
public:
    void CountFrame(uint32_t now);
    const String& GetText() const { return text_; }
    int32_t GetRate() const { return rate_; }

private:
    bool started_ = false;
    uint32_t frames_ = 0;
    uint32_t start_ = 0;
    int32_t rate_ = 0;
    String text_;
};

// Present's first step: counts the frame when statistics are on in variable step.
void UpdateFrameRateText();
const FrameRateText& GetFrameRateText();
