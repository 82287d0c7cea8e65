// GetOpenFileName and GetSaveFileName as the layer's own dialog, driven by
// script as a person would: typing names and paths, going into folders and
// up, choosing a type.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/script/script.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

const char kFilter[] = "Bank statements\0*.ofx;*.qfx;*.qif;*.csv\0All files\0*.*\0";
const char kSaveFilter[] = "QIF\0*.qif\0All files\0*.*\0";

struct Outcome {
  std::string path;  // empty when cancelled
  std::string out;   // what the script printed
};

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(folder / "statement.OFX") << "x";
    std::ofstream(folder / "march.csv") << "x";
    std::ofstream(folder / "notes.txt") << "x";
    std::ofstream(folder / ".hidden.csv") << "x";
    fs::create_directory(folder / "sub");
    std::ofstream(folder / "sub/inner.qif") << "x";
  }

  Outcome Run(const std::string& script, bool save = false, const char* initialName = "") {
    std::istringstream in(script);
    std::ostringstream out;
    Outcome outcome;
    fs::path before = fs::current_path();
    RunWithScriptFrontEnd(in, out, [&] {
      char file[MAX_PATH] = {};
      std::snprintf(file, sizeof file, "%s", initialName);
      OPENFILENAMEA ofn = {};
      ofn.lStructSize = sizeof ofn;
      ofn.lpstrFilter = save ? kSaveFilter : kFilter;
      ofn.nFilterIndex = 1;
      ofn.lpstrFile = file;
      ofn.nMaxFile = sizeof file;
      ofn.lpstrInitialDir = folder.path.c_str();
      ofn.lpstrDefExt = "csv";
      ofn.Flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
      BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
      if (chosen) {
        outcome.path = file;
        EXPECT_EQ(std::string(file + ofn.nFileOffset), fs::path(file).filename().string());
      }
      return 0;
    });
    EXPECT_EQ(fs::current_path(), before) << "the dialog changed the current folder";
    outcome.out = out.str();
    return outcome;
  }

  TempFolder folder;
};

TEST_F(FileDialogTest, TypedNamesPathsAndListNavigationOpenTheRightFile) {
  struct Case {
    const char* name;
    std::string script;
    std::string path;  // under the folder; empty: cancelled
  } cases[] = {
      {"typed name", "type 1152 march.csv\nenter\n", "march.csv"},
      {"typed path into a folder", "type 1152 sub/inner.qif\nenter\n", "sub/inner.qif"},
      {"typed absolute path", "type 1152 " + folder.path + "/sub/inner.qif\nenter\n", "sub/inner.qif"},
      {"typed folder, then name", "type 1152 sub\nenter\ntype 1152 inner.qif\nenter\n", "sub/inner.qif"},
      {"into a folder and up again", "type 1152 sub\nenter\ntype 1152 ..\nenter\ntype 1152 march.csv\nenter\n",
       "march.csv"},
      {"list: into the folder, pick the file", "focus 1120\nselect 1120 1\nenter\nselect 1120 1\nenter\n",
       "sub/inner.qif"},
      {"list: the [..] line goes up", "type 1152 sub\nenter\nfocus 1120\nselect 1120 0\nenter\nselect 1120 2\nenter\n",
       "march.csv"},
      {"a missing file is refused", "type 1152 nothere.csv\nenter\nanswer ok\nescape\n", ""},
      {"Cancel", "type 1152 march.csv\nclick 2\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome outcome = Run(c.script);
    EXPECT_EQ(outcome.path, c.path.empty() ? "" : folder / c.path) << outcome.out;
  }
  EXPECT_NE(Run(cases[7].script).out.find("text \"nothere.csv\\nFile not found.\\nCheck the file name and try again.\""),
            std::string::npos);
}

TEST_F(FileDialogTest, ListShowsFoldersThenFilesOfTheChosenTypeAndPrintShowsTheField) {
  Outcome outcome = Run("type 1152 m\nprint\npick 1136 1\nprint\ntype 1152 *.txt\nenter\nprint\nescape\n");
  std::string out = outcome.out;
  const std::string bank = "    line 0 \"[..]\"\n    line 1 \"[sub]\"\n    line 2 \"march.csv\"\n    line 3 \"statement.OFX\"\n";
  const std::string all = "    line 0 \"[..]\"\n    line 1 \"[sub]\"\n    line 2 \"march.csv\"\n    line 3 \"notes.txt\"\n"
                          "    line 4 \"statement.OFX\"\n";
  const std::string typed = "    line 0 \"[..]\"\n    line 1 \"[sub]\"\n    line 2 \"notes.txt\"\n  control";
  size_t first = out.find(bank);
  ASSERT_NE(first, std::string::npos) << out;
  size_t second = out.find(all, first);
  EXPECT_NE(second, std::string::npos) << out;
  EXPECT_NE(out.find(typed, second), std::string::npos) << out;
  EXPECT_NE(out.find("control 1152 Edit \"m\""), std::string::npos) << out;
  EXPECT_NE(out.find("control 1088 Static \"" + folder.path + "\""), std::string::npos) << out;
  EXPECT_NE(out.find("dialog 0 \"Open\""), std::string::npos) << out;
}

TEST_F(FileDialogTest, SaveAddsTheExtensionAndAsksBeforeReplacing) {
  struct Case {
    const char* name;
    std::string script;
    std::string path;
  } cases[] = {
      {"new name gets the type's extension", "type 1152 april\nenter\n", "april.qif"},
      {"replacing: No keeps the dialog open", "type 1152 march.csv\nenter\nanswer no\nescape\n", ""},
      {"replacing: Yes", "pick 1136 1\ntype 1152 march\nenter\nanswer yes\n", "march.csv"},
      {"a type of any file: the default extension", "pick 1136 1\ntype 1152 april\nenter\n", "april.csv"},
      {"no such folder", "type 1152 nowhere/april.csv\nenter\nanswer ok\nescape\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome outcome = Run(c.script, true);
    EXPECT_EQ(outcome.path, c.path.empty() ? "" : folder / c.path) << outcome.out;
  }
  EXPECT_NE(Run(cases[1].script, true).out.find("text \"march.csv already exists.\\nDo you want to replace it?\""),
            std::string::npos);
  // The name the program offers is in the field at first.
  EXPECT_EQ(Run("enter\n", true, "ledger.qif").path, folder / "ledger.qif");
}

}  // namespace
