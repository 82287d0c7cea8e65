// The hide-reconciled preference in RErivaRude.ini, in the folder the program
// is started in, on whichever platform the tests run.
#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/AppState.h"
#include "app/SettingsText.h"
#include "storage/TextEncoding.h"
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

std::string Utf8(const std::u8string& text) { return std::string(text.begin(), text.end()); }

// In UTF-8 a folder of Chinese characters takes three bytes each: a path
// Windows takes whole is longer than MAX_PATH bytes.
TEST_F(SettingsTest, AFolderOfSeveralScriptsBeyondMaxPathBytesKeepsItsSettings) {
  std::u8string deep = u8"Zo\u00EB \u0141\u00F3d\u017A \u6771\u4EAC";
  std::u8string name;
  for (int i = 0; i < 80; ++i) name += u8"\u6771";
  std::filesystem::path folderPath = std::filesystem::path(folder.path) / deep / name;
  std::filesystem::create_directories(folderPath);
  std::filesystem::current_path(folderPath);
  BuildSettingsPath();
  std::string expected = Utf8(std::filesystem::current_path().u8string()) + "\\RErivaRude.ini";
  EXPECT_GT(expected.size(), size_t{MAX_PATH});
  EXPECT_EQ(appState.iniPath.Text(), expected);

  appState.hideReconciled = 1;
  WriteSettings();
  appState.hideReconciled = 0;
  ReadSettings();
  EXPECT_EQ(appState.hideReconciled, 1);
  EXPECT_NE(ReadFile(folderPath / "RErivaRude.ini").find("HideRec=1"), std::string::npos);
}

// A file an older build on Windows wrote: its values read as UTF-8, the file
// untouched until the program writes it, then UTF-8 throughout.
TEST_F(SettingsTest, OldWindows1252ValuesReadAsUtf8AndTheNextWriteKeepsThem) {
  const std::string old = "; Zo\xEB's own note\r\n"
                          "[RErivaRude_100]\r\n"
                          "NumPayees=4\r\n"
                          "payee_1 = Caf\xE9 \x80\r\n"
                          "Payee_2='\xC9" "cole '\r\n"
                          "Payee_3=" + std::string(80, '\xE9') + "\r\n"
                          "Payee_4=Stra\xC3\x9F" "e\r\n"
                          "HideRec=1\r\n"
                          "[Other]\r\n"
                          "Payee_1=Not ours \xE9\r\n";
  std::ofstream(folder / "RErivaRude.ini", std::ios::binary) << old;
  SettingsText settings;
  char value[80];
  struct Case {
    const char* key;
    std::string value;
  } cases[] = {
      {"Payee_1", "Caf\xC3\xA9 \xE2\x82\xAC"},
      {"PAYEE_2", "\xC3\x89" "cole "},
      {"Payee_3", [] {  // 79 bytes hold 39 whole characters
         std::string cut;
         for (int i = 0; i < 39; ++i) cut += "\xC3\xA9";
         return cut;
       }()},
      {"Payee_4", "Stra\xC3\x9F" "e"},
      {"Payee_5", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(settings.Read(c.key, value, sizeof value), c.value.size()) << c.key;
    EXPECT_EQ(value, c.value) << c.key;
  }
  ReadSettings();
  EXPECT_EQ(appState.hideReconciled, 1);
  EXPECT_EQ(ReadFile(folder / "RErivaRude.ini"), old);

  appState.hideReconciled = 0;
  WriteSettings();
  std::string written = ReadFile(folder / "RErivaRude.ini");
  // The program's section; what else a hand put in the file is not its to change.
  size_t section = written.find("[RErivaRude_100]");
  EXPECT_TRUE(IsUtf8(written.substr(section, written.find("[Other]") - section))) << written;
  SettingsText after;
  for (const Case& c : cases) {
    EXPECT_EQ(after.Read(c.key, value, sizeof value), c.value.size()) << c.key;
    EXPECT_EQ(value, c.value) << c.key;
  }
  ReadSettings();
  EXPECT_EQ(appState.hideReconciled, 0);
}

}  // namespace
