#include "game/ItemBtn.h"

namespace tovrik::game {
namespace {

struct ButtonPlace {
    int x;
    int y;
};

constexpr ButtonPlace kPlaces[kItemKindCount] = {{0, 400}, {581, 400}, {581, 128}, {0, 128}};
constexpr int kSlideStep = 2;

} // namespace

void CItemBtn::Init(int kind)
{
    itemKind = (kind >= 0 && kind < kItemKindCount) ? kind : 0;
    x = kPlaces[itemKind].x;
    y = kPlaces[itemKind].y;
    hiddenOffset = -52;
}

// The left buttons slide off the left edge, the right ones sit off the right
// edge at slide 0 and come in by the same 52 pixels.
int CItemBtn::ShownSlide() const
{
    return (itemKind == kItemPowerUp || itemKind == kItemNuclear) ? 0 : hiddenOffset;
}

int CItemBtn::HiddenSlide() const
{
    return (itemKind == kItemPowerUp || itemKind == kItemNuclear) ? hiddenOffset : 0;
}

void CItemBtn::Reset()
{
    enabled = 0;
    pressed = 0;
    mouseState = 0;
    slide = HiddenSlide();
}

void CItemBtn::OnTimer()
{
    const int target = enabled ? ShownSlide() : HiddenSlide();
    if (slide < target)
        slide = (target - slide > kSlideStep) ? slide + kSlideStep : target;
    else if (slide > target)
        slide = (slide - target > kSlideStep) ? slide - kSlideStep : target;
}

int CItemBtn::MouseHitCheck(int px, int py) const
{
    if (!enabled)
        return 0;
    const int left = x + slide;
    return (px >= left + 5 && px <= left + 52 && py >= y + 16 && py <= y + 56) ? 1 : 0;
}

void CItemBtn::OnLButtonDown(int px, int py)
{
    pressed = 0;
    mouseState = 0;
    if (enabled && MouseHitCheck(px, py)) {
        pressed = 1;
        mouseState = 2;
    }
}

void CItemBtn::OnMouseMove(int px, int py)
{
    if (!pressed)
        mouseState = MouseHitCheck(px, py) ? 1 : 0;
}

int CItemBtn::OnLButtonUp(int px, int py)
{
    if (!MouseHitCheck(px, py) || !pressed || !enabled)
        return 0;
    pressed = 0;
    mouseState = 0;
    enabled = 0;
    return 1;
}

void CItemBtn::OnClickTimeOut()
{
    pressed = 0;
    mouseState = 0;
}

} // namespace tovrik::game
