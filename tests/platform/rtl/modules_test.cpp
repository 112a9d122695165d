#include "platform/rtl/modules.h"

#include "tests/support/testing.h"

namespace {

int Twice(int X) { return 2 * X; }

class ModulesTest : public ::testing::Test {
protected:
  void SetUp() override { RegisterBuiltinModule("probe32.dll", {{"Twice", reinterpret_cast<void*>(&Twice)}}); }
  void TearDown() override { UnregisterBuiltinModule("probe32.dll"); }
};

TEST_F(ModulesTest, RegisteredModuleLoadsInAnyCaseAndAnswersItsExports) {
  HMODULE M = SafeLoadLibrary("PROBE32.DLL");
  ASSERT_NE(M, nullptr);
  EXPECT_EQ(LoadLibrary("probe32.dll"), M);
  auto* Proc = reinterpret_cast<int (*)(int)>(GetProcAddress(M, "Twice"));
  ASSERT_NE(Proc, nullptr);
  EXPECT_EQ(Proc(21), 42);
  EXPECT_EQ(GetProcAddress(M, "Thrice"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(M));
  EXPECT_TRUE(FreeLibrary(M));
  EXPECT_FALSE(FreeLibrary(M));  // both references gone
}

TEST_F(ModulesTest, UnknownLibraryFailsAsAMissingOne) {
  EXPECT_EQ(LoadLibrary("nowhere.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(ModulesTest, ExportScopeHidesOneExportForItsLifetime) {
  HMODULE M = LoadLibrary("probe32.dll");
  {
    TModuleExportScope Hide("Probe32.dll", "Twice");
    EXPECT_EQ(GetProcAddress(M, "Twice"), nullptr);
  }
  EXPECT_NE(GetProcAddress(M, "Twice"), nullptr);
  FreeLibrary(M);
}

TEST_F(ModulesTest, SafeLoadLibraryRestoresTheErrorMode) {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  FreeLibrary(SafeLoadLibrary("probe32.dll"));
  EXPECT_EQ(SetErrorMode(0), SEM_FAILCRITICALERRORS);
}

}  // namespace
