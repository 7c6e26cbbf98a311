#include "PortalSandbox.h"

#include "portal/AvatarDLL.h"
#include "portal/PortalLibrary.h"

#include <gtest/gtest.h>

#include <array>

using namespace tovrik::portal;

TEST(PortalRegistry, CommonFolderComesFromDefaultPath) {
  PortalSandbox portal;
  // Registry names ignore case; trailing blanks and separators are cut.
  portal.WriteRegistry("[software\\CORVANTA]\ndefaultpath=" + portal.install().string() + "\\/  \n");
  ASSERT_TRUE(PortalInstallFolder());
  EXPECT_EQ(*PortalInstallFolder(), portal.install());
  EXPECT_EQ(*PortalCommonFolder(), portal.common());
}

TEST(PortalRegistry, MissingRecordGivesNoFolder) {
  PortalSandbox portal;
  portal.WriteRegistry("[SOFTWARE\\Other]\nDefaultPath=/x\n");
  EXPECT_FALSE(PortalCommonFolder());
  portal.WriteRegistry("[SOFTWARE\\Corvanta]\nDefaultPath=  \n");
  EXPECT_FALSE(PortalCommonFolder());
  setenv("TOVRIK_PORTAL_REGISTRY", (portal.install() / "missing.ini").c_str(), 1);
  EXPECT_FALSE(PortalCommonFolder());
}

TEST(PortalRegistry, GetBaseAvatarDirRefusesSmallBuffers) {
  PortalSandbox portal;
  std::array<char, 9> tiny{};
  EXPECT_FALSE(GetBaseAvatarDir(tiny));
  std::array<char, 1024> big{};
  ASSERT_TRUE(GetBaseAvatarDir(big));
  EXPECT_EQ(std::string(big.data()), portal.common().string());
  std::string exact(portal.common().string().size() + 1, '#');
  EXPECT_TRUE(GetBaseAvatarDir(std::span<char>(exact.data(), exact.size())));
  std::string shortByOne(portal.common().string().size(), '#');
  EXPECT_FALSE(GetBaseAvatarDir(std::span<char>(shortByOne.data(), shortByOne.size())));
  EXPECT_EQ(shortByOne, std::string(shortByOne.size(), '#'));  // untouched
}

TEST(PortalLibraryPath, MapsWindowsNamesAndIgnoresCase) {
  PortalSandbox portal;
  portal.WriteFile("Module/qxrunparamdll.so", "");
  EXPECT_EQ(PortalLibraryPath(portal.common(), "MODULE\\QXRunParamDLL.dll"),
            portal.common() / "Module" / "qxrunparamdll.so");
}
