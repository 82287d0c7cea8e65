#include "component/ComponentRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/TestSupport.h"
#include "tests/component/fixtures/FixtureCall.h"

TEST(ComponentRegistry, LoadsAFileOnceAndCallsTheFactoryEachTime) {
  ComponentRegistry registry;
  auto* first = static_cast<FixtureCall*>(registry.LoadComponent("CountingComponent.DLL", "Counter", 7));
  auto* second = static_cast<FixtureCall*>(registry.LoadComponent("CountingComponent.DLL", "Other", 100));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->number, first->number + 1);
  EXPECT_STREQ(first->componentName, "Counter");
  EXPECT_EQ(first->version, 7u);
  EXPECT_STREQ(second->componentName, "Other");

  ASSERT_EQ(ModuleCount(registry), 1);
  ComponentModule* module = registry.FindModule("CountingComponent.DLL");
  ASSERT_EQ(module, registry.firstModule);
  EXPECT_EQ(second->module, static_cast<RefCounted*>(module));
  EXPECT_EQ(module->refCount, 1u);

  std::string path = BesideExecutable("CountingComponent.DLL");
  EXPECT_TRUE(IsLoaded(path));
  ReleaseModules(registry);  // the last reference unloads the library
  EXPECT_FALSE(IsLoaded(path));
}

#ifndef _WIN32
// Windows file names ignore case, so there the two names are one file.
TEST(ComponentRegistry, NamesDifferingInCaseAreDifferentModules) {
  TempFolder folder;
  std::string lower = folder / "case.DLL", upper = folder / "CASE.DLL";
  std::filesystem::create_symlink(BesideExecutable("CountingComponent.DLL"), lower);
  std::filesystem::create_symlink(BesideExecutable("CountingComponent.DLL"), upper);

  ComponentRegistry registry;
  EXPECT_NE(registry.LoadComponent(lower.c_str(), "Counter", 1), nullptr);
  EXPECT_NE(registry.LoadComponent(upper.c_str(), "Counter", 1), nullptr);
  EXPECT_EQ(ModuleCount(registry), 2);
  ASSERT_NE(registry.FindModule(upper.c_str()), nullptr);
  EXPECT_STREQ(registry.FindModule(upper.c_str())->fileName, upper.c_str());
  EXPECT_EQ(registry.firstModule, registry.FindModule(upper.c_str()));  // newest first
  EXPECT_EQ(registry.firstModule->nextModule, registry.FindModule(lower.c_str()));
  EXPECT_EQ(registry.firstModule->nextModule->prevModule, registry.firstModule);
  EXPECT_EQ(registry.FindModule((folder / "Case.DLL").c_str()), nullptr);
  ReleaseModules(registry);
}
#endif

// The data folder is often shared or downloaded: a library placed there must
// never run, even under the engine's own name.
TEST(ComponentRegistry, ABareNameIsNeverLoadedFromTheCurrentFolder) {
  TempFolder folder;
  std::filesystem::copy_file(BesideExecutable("CountingComponent.DLL"), folder / "Planted.DLL");
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path);
  ComponentRegistry registry;
  void* planted = registry.LoadComponent("Planted.DLL", "Counter", 1);
  void* beside = registry.LoadComponent("CountingComponent.DLL", "Counter", 1);
  std::filesystem::current_path(previous);

  EXPECT_EQ(planted, nullptr);
  EXPECT_FALSE(IsLoaded(folder / "Planted.DLL"));
  EXPECT_NE(beside, nullptr);  // the same registry still finds what lies beside the program
  EXPECT_EQ(ModuleCount(registry), 1);
  ReleaseModules(registry);
}

TEST(ComponentRegistry, ALibraryWithoutTheFactoryIsUnloaded) {
  ComponentRegistry registry;
  std::string path = BesideExecutable("NoExport.DLL");
  EXPECT_EQ(registry.LoadComponent(path.c_str(), "Anything", 1), nullptr);
  EXPECT_EQ(registry.firstModule, nullptr);
  EXPECT_FALSE(IsLoaded(path));

  EXPECT_EQ(registry.LoadComponent("Missing.DLL", "Anything", 1), nullptr);
  EXPECT_EQ(registry.LoadComponent(nullptr, "Anything", 1), nullptr);
  std::string tooLong(300, 'x');  // more than fileName can hold
  EXPECT_EQ(registry.LoadComponent(tooLong.c_str(), "Anything", 1), nullptr);
  EXPECT_EQ(registry.firstModule, nullptr);
}

TEST(ComponentRegistry, AFactoryReturningNoneLeavesTheModuleListed) {
  ComponentRegistry registry;
  EXPECT_EQ(registry.LoadComponent("NullFactory.DLL", "Anything", 1), nullptr);
  ComponentModule* module = registry.FindModule("NullFactory.DLL");
  ASSERT_NE(module, nullptr);
  auto* calls = static_cast<int*>(FindData(module->moduleHandle, "factoryCalls"));
  ASSERT_NE(calls, nullptr);
  EXPECT_EQ(*calls, 1);
  EXPECT_EQ(registry.LoadComponent("NullFactory.DLL", "Anything", 1), nullptr);
  EXPECT_EQ(*calls, 2);  // called again, without loading the library again
  EXPECT_EQ(ModuleCount(registry), 1);
  ReleaseModules(registry);
}
