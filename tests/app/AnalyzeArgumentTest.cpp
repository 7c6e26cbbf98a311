#include "app/ClientDlg.h"
#include "app/LaunchParams.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tovrik::app;

namespace {

class AnalyzeArgumentTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("QXENV_CommonPath", TOVRIK_RUNTIME_DIR "/Common", 1); }
  void TearDown() override { unsetenv("QXENV_CommonPath"); }
};

TEST_F(AnalyzeArgumentTest, StoresEveryParameterAndTheGroup) {
  g_LoginGroup = 99;
  ASSERT_EQ(CClientDlg::AnalyzeArgument("ServIP=10.0.0.1 ServPort=24000 AuthCookie=a%3Db DataCookie=d "
                                        "CpCookie=c SpareParam=site=x|GROUP=7"),
            0u);
  EXPECT_EQ(g_ServIP, "10.0.0.1");
  EXPECT_EQ(g_ServPort, 24000u);
  EXPECT_EQ(g_AuthCookie, "a%3Db");  // cookies are passed on exactly as written
  EXPECT_EQ(g_DataCookie, "d");
  EXPECT_EQ(g_CpCookie, "c");
  EXPECT_EQ(g_SpareParam, "site=x|GROUP=7");
  EXPECT_EQ(g_LoginGroup, 7);
}

TEST_F(AnalyzeArgumentTest, SpareParamIsOptional) {
  ASSERT_EQ(CClientDlg::AnalyzeArgument("ServIP=1.2.3.4 ServPort=x AuthCookie=a DataCookie=d CpCookie=c"), 0u);
  EXPECT_EQ(g_SpareParam, "");
  EXPECT_EQ(g_LoginGroup, -1);
  EXPECT_EQ(g_ServPort, 0u);  // non-numeric text converts to 0
}

TEST_F(AnalyzeArgumentTest, EachMissingRequiredParameterGives2010) {
  const char* names[] = {"ServIP", "ServPort", "AuthCookie", "DataCookie", "CpCookie"};
  for (const char* missing : names) {
    std::string source;
    for (const char* name : names)
      if (std::string(name) != missing) source += std::string(name) + "=v ";
    EXPECT_EQ(CClientDlg::AnalyzeArgument(source.c_str()), 2010u) << missing;
  }
}

TEST_F(AnalyzeArgumentTest, ModuleFailuresComeBackAsTheirCodes) {
  unsetenv("QXENV_CommonPath");
  EXPECT_EQ(CClientDlg::AnalyzeArgument("ServIP=1"), 2009u);
  setenv("QXENV_CommonPath", "/nonexistent-portal", 1);
  EXPECT_EQ(CClientDlg::AnalyzeArgument("ServIP=1"), 2003u);
  setenv("QXENV_CommonPath", TOVRIK_RUNTIME_DIR "/Common", 1);
  EXPECT_EQ(CClientDlg::AnalyzeArgument("=nameless ServIP=1"), 5005u);
}

}  // namespace
