#include "game/help/credits_scroll.h"

namespace {

constexpr int kMinimumPull = 5;
const Fixed kPullShare = Fixed::FromDouble(0.4);
const Fixed kOvershootDamping = Fixed::FromDouble(0.7);

// The pull back over an overshoot: 0.4 of it, at least 5 pixels, but never further than the other
// end, or a window smaller than the minimum pull would throw the text between its ends for ever.
Fixed Pull(Fixed overshoot, Fixed maximum)
{
    Fixed step = Fixed::Multiply(kPullShare, overshoot);
    if (step.LessThanInt(kMinimumPull))
        step = Fixed::FromInt(kMinimumPull);
    Fixed limit = overshoot + maximum;
    return step > limit ? limit : step;
}

}  // namespace

void CreditsScroll::Start(int textHeight, int windowHeight)
{
    int range = textHeight - windowHeight;
    maximum = Fixed::FromInt(range > 0 ? range : 0);
    position = Fixed::FromInt(-windowHeight);
    autoScroll = true;
}

void CreditsScroll::SetSpeeds(Fixed autoSpeed, Fixed keySpeed)
{
    autoSpeed_ = autoSpeed;
    keySpeed_ = keySpeed;
}

void CreditsScroll::Press(int y)
{
    lastY = y;
    delta = 0;
    dragging = true;
    autoScroll = false;
    velocity = Fixed();
}

void CreditsScroll::Move(int y)
{
    delta = y - lastY;
    lastY = y;
    velocity = Fixed::FromInt(-delta);
    if (dragging)
        position -= Fixed::FromInt(delta);
}

void CreditsScroll::Release(int y)
{
    lastY = y;
    dragging = false;
    velocity = Fixed::FromInt(-delta);
    delta = 0;
}

void CreditsScroll::SetKeyDirection(int direction)
{
    if (direction != 0)
        autoScroll = false;
    keyDirection = direction;
}

void CreditsScroll::Update()
{
    if (autoScroll) {
        position += autoSpeed_;
        if (position >= maximum) {
            position = maximum;
            autoScroll = false;
        }
        return;
    }
    if (!dragging) {
        if (velocity.raw > 0)
            velocity = velocity.GreaterThanInt(1) ? Fixed::SubtractInt(velocity, 1) : Fixed();
        else if (velocity.raw < 0)
            velocity = velocity.LessThanInt(-1) ? velocity + Fixed::FromInt(1) : Fixed();
        if (keyDirection < 0) {
            position -= keySpeed_;
            if (position.raw < 0)
                position = Fixed();
        } else if (keyDirection > 0) {
            position += keySpeed_;
            if (position > maximum)
                position = maximum;
        }
    }
    correction = Fixed();
    if (position.raw < 0) {
        correction += Pull(-position, maximum);
        if (velocity.raw < 0)
            velocity = Fixed::Multiply(velocity, kOvershootDamping);
    } else if (position > maximum) {
        correction -= Pull(position - maximum, maximum);
        if (velocity.raw > 0)
            velocity = Fixed::Multiply(velocity, kOvershootDamping);
    }
    // The drag itself moves the text; a held stylus adds no velocity.
    if (!dragging)
        position += velocity;
    position += correction;
}
