#include "PortalSandbox.h"

#include "portal/QXRunParam.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tovrik::portal;

namespace {

TEST(RunParamLoader, ReportsWhyTheModuleIsUnavailable) {
  PortalSandbox portal;
  unsetenv("QXENV_CommonPath");
  EXPECT_EQ(CQXRunParam().Load(nullptr, 1), 2009u);
  setenv("QXENV_CommonPath", portal.common().c_str(), 1);
  EXPECT_EQ(CQXRunParam().Load(nullptr, 1), 2003u);
  portal.WriteFile("Module/QXRunParamDLL.so", "not a library");
  EXPECT_EQ(CQXRunParam().Load(nullptr, 1), 2005u);
  portal.Copy(TOVRIK_EMPTY_MODULE, portal.common() / "Module/QXRunParamDLL.so");
  CQXRunParam noExports;
  EXPECT_EQ(noExports.Load(nullptr, 1), 2008u);
  EXPECT_FALSE(noExports.ExistsParam("ServIP"));
  EXPECT_FALSE(noExports.GetParam("ServIP"));
}

TEST(RunParamModule, ReadsNameValueArguments) {
  PortalSandbox portal;
  portal.InstallBuilt("Module/QXRunParamDLL.so");
  CQXRunParam params;
  ASSERT_EQ(params.Load("ServIP=1.2.3.4 \"AuthCookie=a b\" SpareParam=group=1|site=x loose servport=24000", 1), 0u);
  EXPECT_EQ(params.GetParam("ServIP"), "1.2.3.4");
  EXPECT_EQ(params.GetParam("AuthCookie"), "a b");
  EXPECT_EQ(params.GetParam("SpareParam"), "group=1|site=x");
  EXPECT_EQ(params.GetParam("ServPort"), "24000");  // names ignore case
  EXPECT_TRUE(params.ExistsParam("servip"));
  EXPECT_FALSE(params.ExistsParam("loose"));
  EXPECT_FALSE(params.GetParam("CpCookie"));

  EXPECT_EQ(params.Load("A=1", 2), 1002u);  // only the command line is a source
  EXPECT_EQ(params.Load("=1", 1), 5005u);
  ASSERT_EQ(params.Load("B=2", 1), 0u);   // a new load replaces the old values
  EXPECT_FALSE(params.ExistsParam("ServIP"));
}

TEST(RunParamModule, ReadsThisProcessCommandLineWithoutASource) {
  PortalSandbox portal;
  portal.InstallBuilt("Module/QXRunParamDLL.so");
  CQXRunParam params;
  ASSERT_EQ(params.Load(nullptr, 1), 0u);
  EXPECT_FALSE(params.ExistsParam("ServIP"));  // the test runner has no launch parameters
}

TEST(RunParamCodes, ClientNamesComeFirstThenTheModuleText) {
  PortalSandbox portal;
  EXPECT_EQ(QXRUNPARAMAPIFUNC::ConvertRetCode2String(2010), "LIB_MISSING_PARAM");
  EXPECT_EQ(QXRUNPARAMAPIFUNC::ConvertRetCode2String(0), "SUCCESS");
  EXPECT_EQ(QXRUNPARAMAPIFUNC::ConvertRetCode2String(5305), "MODULE_TDES_INVALID_DATALENGTH");
  EXPECT_EQ(QXRUNPARAMAPIFUNC::ConvertRetCode2String(4242), "");  // no module installed
  EXPECT_EQ(QXRUNPARAMAPIFUNC::GetModuleRetCodeString(5005), "");
  portal.InstallBuilt("Module/QXRunParamDLL.so");
  EXPECT_EQ(QXRUNPARAMAPIFUNC::GetModuleRetCodeString(5005), "이름이 없는 실행 인자가 있습니다.");
  EXPECT_EQ(QXRUNPARAMAPIFUNC::GetModuleRetCodeString(2010), "");  // a loader code: no module text
  EXPECT_EQ(QXRUNPARAMAPIFUNC::ConvertRetCode2String(4242), "");
}

TEST(SetCurPathToRunFilePath, EntersTheProgramFolder) {
  PortalSandbox portal;
  std::filesystem::path before = std::filesystem::current_path();
  using QXRUNPARAMAPIFUNC_CMDARG::SetCurPathToRunFilePath;
  EXPECT_EQ(SetCurPathToRunFilePath(std::nullopt), 3205u);
  EXPECT_EQ(SetCurPathToRunFilePath(""), 3205u);
  EXPECT_EQ(SetCurPathToRunFilePath("tovrik"), 3206u);
  EXPECT_EQ(SetCurPathToRunFilePath("/nonexistent-folder/tovrik"), 3207u);
  EXPECT_EQ(std::filesystem::current_path(), before);
  std::string windowsStyle = portal.install().string() + "\\COMMON\\module\\tovrik.exe";
  EXPECT_EQ(SetCurPathToRunFilePath(windowsStyle), 0u);
  EXPECT_EQ(std::filesystem::current_path(), portal.common() / "Module");
  std::filesystem::current_path(before);
}

}  // namespace
