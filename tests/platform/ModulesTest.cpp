// The POSIX stand-ins for LoadLibraryA, GetProcAddress and GetModuleHandleA.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "component/ComponentRegistry.h"
#include "platform/win32.h"
#include "tests/support/TestSupport.h"

TEST(Modules, ABareNameIsFoundBesideTheProgramNeverInTheCurrentFolder) {
  TempFolder folder;
  std::filesystem::copy_file(BesideExecutable("NoExport.DLL"), folder / "OnlyHere.DLL");
  std::string previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path);

  HMODULE beside = LoadLibraryA("CountingComponent.DLL");
  HMODULE inCurrent = LoadLibraryA("OnlyHere.DLL");
  HMODULE relative = LoadLibraryA("./OnlyHere.DLL");
  HMODULE backslashes = LoadLibraryA((folder.path + "\\OnlyHere.DLL").c_str());
  std::filesystem::current_path(previous);

  EXPECT_NE(beside, nullptr);
  EXPECT_EQ(inCurrent, nullptr);
  EXPECT_NE(relative, nullptr);
  EXPECT_EQ(backslashes, relative);
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  for (HMODULE module : {beside, relative, backslashes}) EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(Modules, ExportsAreFoundByExactNameInTheModuleItself) {
  HMODULE counting = LoadLibraryA("CountingComponent.DLL");
  HMODULE plain = LoadLibraryA("NoExport.DLL");
  ASSERT_NE(counting, nullptr);
  ASSERT_NE(plain, nullptr);

  auto plainExport = reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(counting, "PlainExport")));
  ASSERT_NE(plainExport, nullptr);
  EXPECT_EQ(plainExport(), 42);
  EXPECT_NE(GetProcAddress(counting, kFactoryExportName), nullptr);
  EXPECT_EQ(GetProcAddress(counting, "?createinstance@@YAPAXPBDKPAX@Z"), nullptr);
  EXPECT_EQ(GetProcAddress(counting, "?CreateInstance@@YAPAXPBDKPAX@"), nullptr);
  EXPECT_EQ(GetProcAddress(counting, "Missing"), nullptr);

  // SQLite is loaded with the plain library, but its functions are not the library's exports.
  EXPECT_NE(GetProcAddress(plain, "SqliteVersion"), nullptr);
  EXPECT_NE(dlsym(plain, "sqlite3_libversion"), nullptr);
  EXPECT_EQ(GetProcAddress(plain, "sqlite3_libversion"), nullptr);
  EXPECT_EQ(GetProcAddress(plain, kFactoryExportName), nullptr);
  FreeLibrary(counting);
  FreeLibrary(plain);
}

TEST(Modules, ModuleHandlesOfLoadedModulesOnly) {
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleA("NullFactory.DLL"), nullptr);
  HMODULE loaded = LoadLibraryA("NullFactory.DLL");
  EXPECT_EQ(GetModuleHandleA("NullFactory.DLL"), loaded);
  FreeLibrary(loaded);
  EXPECT_EQ(GetModuleHandleA("NullFactory.DLL"), nullptr);  // the handle took no reference
}
