#pragma once
// One of the four item buttons at the sides of the board: where it sits, how
// it glides in and out, and how it turns mouse events into a click. Drawing
// belongs to the board picture.

namespace tovrik::game {

enum ItemKind : int {
    kItemPowerUp = 0,
    kItemChange = 1,
    kItemTeleport = 2,
    kItemNuclear = 3,
};
inline constexpr int kItemKindCount = 4;

class CItemBtn {
public:
    virtual ~CItemBtn() = default;

    void Init(int kind);
    // Disabled, released and hidden.
    void Reset();
    // Glides the button 2 pixels toward its shown or hidden place.
    void OnTimer();
    int MouseHitCheck(int px, int py) const;
    void OnLButtonDown(int px, int py);
    void OnMouseMove(int px, int py);
    // 1 when the press and the release were both on the enabled button; the
    // click disables it.
    int OnLButtonUp(int px, int py);
    void OnClickTimeOut();

    int ShownSlide() const;
    int HiddenSlide() const;

    int itemKind = 0;
    int x = 0;
    int y = 0;
    int enabled = 0;
    int slide = 0;
    int pressed = 0;
    int mouseState = 0; // 0 normal, 1 over, 2 pressed
    int hiddenOffset = -52;
};

} // namespace tovrik::game
