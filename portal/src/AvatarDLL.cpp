#include "portal/AvatarDLL.h"

#include "platform/MessageBox.h"
#include "portal/PortalExports.h"

#include <algorithm>
#include <cstring>

using namespace tovrik::platform;
using tovrik::portal::PortalCommonFolder;

namespace tovrik::portal {

CAvatarDLL g_AvatarDLL;

namespace {

constexpr char kNoCommonFolder[] = "아바타 모듈을 초기화할 수 없습니다.\n(레지스트리 값을 찾을 수 없습니다.)";
constexpr char kCannotLoad[] =
    "아바타 디스플레이 DLL모듈을 로드할 수 없습니다.\n파일이 삭제되었거나 손상된 경우입니다.\n"
    "홈페이지에서 다운로드 받아서 직접 설치하시기 바랍니다.";
constexpr char kInitFailed[] = "아바타 모듈을 초기화할 수 없습니다.\n(아바타 모듈 초기화 실패)";

int KindOf(std::span<const unsigned char, CAvatar::kDescriptionSize> d) {
  return d[CAvatar::kKindOffset] | (d[CAvatar::kKindOffset + 1] << 8);
}

}  // namespace

bool GetBaseAvatarDir(std::span<char> out) {
  if (out.size() <= 9) return false;
  std::optional<std::filesystem::path> folder = PortalCommonFolder();
  if (!folder) return false;
  const std::string& text = folder->native();
  if (text.size() + 1 > out.size()) return false;
  std::memcpy(out.data(), text.c_str(), text.size() + 1);
  return true;
}

bool CAvatarDLL::InitAvatarModule() {
  if (tried_) return initialised_;
  tried_ = true;
  std::optional<std::filesystem::path> common = PortalCommonFolder();
  if (!common) {
    ShowMessageBox("Error", kNoCommonFolder, MB_OK);
    return false;
  }
  std::filesystem::path file = tovrik::portal::PortalLibraryPath(*common, "AvatarDisplay.dll");
  if (!library_.Load(file)) {
    ShowMessageBox("Error", kCannotLoad, MB_OK);
    ShowMessageBox("DLL 로드 실패", file.string(), MB_OK);
    return false;
  }
  auto init = library_.Find<InitAvatarDisplayDLL_t>("InitAvatarDisplayDLL");
  if (!init || init(common->c_str()) == 0) {
    library_.Unload();
    ShowMessageBox("Error", kInitFailed, MB_OK);
    return false;
  }
  initialised_ = true;
  return true;
}

void CAvatarDLL::Shutdown() {
  library_.Unload();
  initialised_ = false;
  tried_ = false;
}

CAvatar::~CAvatar() {
  if (!handle_) return;
  if (auto destroy = renderer_.Find<DestroyAvatarResource_t>("DestroyAvatarResource")) destroy(handle_);
}

bool CAvatar::SetAvatar(std::span<const unsigned char, kDescriptionSize> description) {
  if (!handle_) {
    auto create = renderer_.Find<CreateAvatarResource_t>("CreateAvatarResource");
    if (!create || !(handle_ = create())) return false;
  }
  std::copy(description.begin(), description.end(), description_.begin());
  mirrorDescription_ = description_;
  int mirrorKind = KindOf(description) + 2;
  mirrorDescription_[kKindOffset] = static_cast<unsigned char>(mirrorKind & 0xFF);
  mirrorDescription_[kKindOffset + 1] = static_cast<unsigned char>(mirrorKind >> 8);
  mirrorCapable_ = mirrorKind == 5 || mirrorKind == 6;
  mirrorSent_ = false;
  auto set = renderer_.Find<SetAvatar_t>("SetAvatar");
  return set && set(handle_, description_.data()) != 0;
}

bool CAvatar::SetSize(int width, int height) {
  auto set = renderer_.Find<SetAvatarSize_t>("SetAvatarSize");
  return handle_ && set && set(handle_, width, height) != 0;
}

bool CAvatar::SetOffset(int x, int y) {
  auto set = renderer_.Find<SetAvatarOffset_t>("SetAvatarOffset");
  return handle_ && set && set(handle_, x, y) != 0;
}

bool CAvatar::SetAnimationTime(int milliseconds) {
  auto set = renderer_.Find<SetAvatarAnimationTime_t>("SetAvatarAnimationTime");
  return handle_ && set && set(handle_, milliseconds) != 0;
}

// A figure that has a turned-round picture is drawn from it when mirrored;
// the others are mirrored by the renderer itself.
bool CAvatar::Draw(int x, int y, int pageWidth, int pageHeight, std::uint16_t* pixels, int rowBytes, bool mirror,
                   bool rgb555) {
  auto draw = renderer_.Find<DrawAvatarToMemory_t>("DrawAvatarToMemory");
  if (!handle_ || !draw) return false;
  bool passMirror = mirror;
  if (mirrorCapable_) {
    if (mirror != mirrorSent_) {
      auto set = renderer_.Find<SetAvatar_t>("SetAvatar");
      if (!set || !set(handle_, mirror ? mirrorDescription_.data() : description_.data())) return false;
      mirrorSent_ = mirror;
    }
    passMirror = false;
  }
  return draw(x, y, handle_, pageWidth, pageHeight, pixels, rowBytes, passMirror ? 1 : 0, rgb555 ? 1 : 0) != 0;
}

}  // namespace tovrik::portal
