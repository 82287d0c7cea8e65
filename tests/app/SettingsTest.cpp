// The hide-reconciled preference in RErivaRude.ini, in the folder the program
// is started in, on whichever platform the tests run.
#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/AppState.h"
#include "tests/support/TestSupport.h"

namespace {


class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path);
    BuildSettingsPath();
  }
  void TearDown() override {
    std::filesystem::current_path(previous);
    appState.hideReconciled = 0;
  }

  TempFolder folder;
  std::filesystem::path previous;
};

TEST_F(SettingsTest, ThePreferenceRoundTripsThroughTheFileInTheCurrentFolder) {
  std::string path = appState.iniPath.Text();
  EXPECT_EQ(path, std::filesystem::current_path().string() + "\\RErivaRude.ini");

  for (int32_t value : {1, 0}) {
    appState.hideReconciled = value;
    WriteSettings();
    appState.hideReconciled = 5;
    ReadSettings();
    EXPECT_EQ(appState.hideReconciled, value);
  }
  std::string written = ReadFile(folder / "RErivaRude.ini");
  EXPECT_NE(written.find("[RErivaRude_100]"), std::string::npos) << written;
  EXPECT_NE(written.find("HideRec=0"), std::string::npos) << written;
}

TEST_F(SettingsTest, AMissingFileReadsAsShowingEverythingAndIsNotCreated) {
  appState.hideReconciled = 1;
  ReadSettings();
  EXPECT_EQ(appState.hideReconciled, 0);
  EXPECT_FALSE(std::filesystem::exists(folder / "RErivaRude.ini"));
}

TEST_F(SettingsTest, AFileWrittenByHandWithWindowsLineEndsIsRead) {
  std::ofstream(folder / "RErivaRude.ini", std::ios::binary)
      << "; kept by hand\r\n[Other]\r\nHideRec=0\r\n\r\n[RErivaRude_100]\r\nhiderec = 1\r\n";
  ReadSettings();
  EXPECT_EQ(appState.hideReconciled, 1);
}

}  // namespace
