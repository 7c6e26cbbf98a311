#pragma once
// The client's side of the avatar renderer (Common/AvatarDisplay).

#include "portal/PortalLibrary.h"

#include <array>
#include <cstdint>
#include <span>

namespace tovrik::portal {

// The portal common folder into a caller's buffer, zero-terminated. False
// when it is not recorded, the buffer is 9 bytes or smaller, or it does not
// fit.
bool GetBaseAvatarDir(std::span<char> out);

class CAvatarDLL {
 public:
  // Once per run: loads the renderer from the common folder and initialises
  // it. On failure it tells the player (boxes titled "Error") and the
  // program goes on without avatars.
  bool InitAvatarModule();
  bool IsInitialised() const { return initialised_; }

  // The export of that name while the renderer is initialised, else null.
  template <typename Function>
  Function Find(const char* name) const {
    return initialised_ ? library_.Find<Function>(name) : nullptr;
  }

  // Unloads the renderer (for tests and the end of the run).
  void Shutdown();

 private:
  tovrik::portal::PortalLibrary library_;
  bool initialised_ = false;
  bool tried_ = false;
};

extern CAvatarDLL g_AvatarDLL;

// One drawn figure. Every call does nothing while the renderer is not
// initialised or the figure has no resource.
class CAvatar {
 public:
  static constexpr size_t kDescriptionSize = 52;
  static constexpr size_t kKindOffset = 50;

  explicit CAvatar(CAvatarDLL& renderer = g_AvatarDLL) : renderer_(renderer) {}
  ~CAvatar();
  CAvatar(const CAvatar&) = delete;
  CAvatar& operator=(const CAvatar&) = delete;

  // Creates the resource on first use and hands the description over. The
  // mirror copy differs in its kind word only (kind + 2): the renderer's
  // kinds 5 and 6 are kinds 3 and 4 turned round.
  bool SetAvatar(std::span<const unsigned char, kDescriptionSize> description);
  bool SetSize(int width, int height);
  bool SetOffset(int x, int y);
  bool SetAnimationTime(int milliseconds);
  // Draws into a 16-bit page (RGB555 when rgb555 is set).
  bool Draw(int x, int y, int pageWidth, int pageHeight, std::uint16_t* pixels, int rowBytes, bool mirror,
            bool rgb555 = true);

  std::uintptr_t handle() const { return handle_; }

 private:
  CAvatarDLL& renderer_;
  std::uintptr_t handle_ = 0;
  bool mirrorCapable_ = false;
  bool mirrorSent_ = false;
  std::array<unsigned char, kDescriptionSize> description_{};
  std::array<unsigned char, kDescriptionSize> mirrorDescription_{};
};

}  // namespace tovrik::portal
