// The settings-file functions on real files in a scratch folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/win32.h"

namespace fs = std::filesystem;

namespace {

class ProfileTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/profile-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = (dir_ / "settings.ini").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string ReadFile() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Get(const char* section, const char* key, const char* fallback = "", DWORD size = 80) {
    std::string buffer(size, '\x7f');
    DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, path_.c_str());
    EXPECT_EQ(buffer[n], '\0');
    return buffer.substr(0, n);
  }
  UINT Int(const char* key, int fallback = 7) { return GetPrivateProfileIntA("S", key, fallback, path_.c_str()); }

  fs::path dir_;
  std::string path_;
};

TEST_F(ProfileTest, WritesCreateTheFileThenFillSectionsInPlace) {
  ASSERT_TRUE(WritePrivateProfileStringA("RErivaRude_100", "HideRec", "0", path_.c_str()));
  EXPECT_EQ(ReadFile(), "[RErivaRude_100]\nHideRec=0\n");

  ASSERT_TRUE(WritePrivateProfileStringA("RErivaRude_100", "NumPayees", "1", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Other", "a", "b", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("RErivaRude_100", "Payee_1", "Rent", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("rerivarude_100", "HIDEREC", "1", path_.c_str()));
  EXPECT_EQ(ReadFile(), "[RErivaRude_100]\nHideRec=1\nNumPayees=1\nPayee_1=Rent\n[Other]\na=b\n");
}

TEST_F(ProfileTest, LinesItDoesNotTouchStayAsTheyWere) {
  WriteFile("; kept\n[A]\nx = 1\n\n[B]\n  Key =  old value  \nnot a key\n\n[C]\nz=3");
  ASSERT_TRUE(WritePrivateProfileStringA("b", "key", "new", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("A", "y", "2", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("C", "w", "4", path_.c_str()));
  EXPECT_EQ(ReadFile(), "; kept\n[A]\nx = 1\ny=2\n\n[B]\nKey=new\nnot a key\n\n[C]\nz=3\nw=4\n");
}

TEST_F(ProfileTest, NullValueDeletesTheKeyAndNullKeyTheSection) {
  WriteFile("[A]\nx=1\ny=2\n[B]\nz=3\n");
  ASSERT_TRUE(WritePrivateProfileStringA("A", "X", nullptr, path_.c_str()));
  EXPECT_EQ(ReadFile(), "[A]\ny=2\n[B]\nz=3\n");
  ASSERT_TRUE(WritePrivateProfileStringA("a", nullptr, nullptr, path_.c_str()));
  EXPECT_EQ(ReadFile(), "[B]\nz=3\n");
}

TEST_F(ProfileTest, ReadsIgnoreCaseAndSpacingAndDropOnePairOfQuotes) {
  WriteFile("[Sec]\r\n  Name  =  \"quoted value\"  \r\nother=' x '\r\nplain=a=b\r\n");
  EXPECT_EQ(Get("SEC", "name"), "quoted value");
  EXPECT_EQ(Get("sec", "OTHER"), " x ");
  EXPECT_EQ(Get("Sec", "plain"), "a=b");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ(Get("S", "k", "fallback  "), "fallback");
  EXPECT_EQ(Int("k", 5), 5u);
  EXPECT_FALSE(fs::exists(path_));
  WriteFile("[S]\nother=1\n");
  EXPECT_EQ(Get("S", "k", "d"), "d");
  EXPECT_EQ(Get("T", "other", "d"), "d");
  EXPECT_EQ(Get("S", "k", nullptr), "");
}

TEST_F(ProfileTest, LongValuesAreCutToTheBuffer) {
  std::string value(100, 'p');
  ASSERT_TRUE(WritePrivateProfileStringA("S", "Payee_1", value.c_str(), path_.c_str()));
  char buffer[80];
  EXPECT_EQ(GetPrivateProfileStringA("S", "Payee_1", "", buffer, sizeof buffer, path_.c_str()), 79u);
  EXPECT_EQ(std::string(buffer), value.substr(0, 79));
  EXPECT_EQ(Get("S", "Payee_1", "", 1), "");
}

TEST_F(ProfileTest, IntegersTakeTheLeadingDigits) {
  WriteFile("[S]\na=42A\nb=B\nc=-1\nd=+1\ne=\nf=  17\n");
  EXPECT_EQ(Int("a"), 42u);
  EXPECT_EQ(Int("b"), 0u);
  EXPECT_EQ(Int("c"), static_cast<UINT>(-1));
  EXPECT_EQ(static_cast<int>(Int("c")), -1);
  EXPECT_EQ(Int("d"), 1u);
  EXPECT_EQ(Int("e"), 7u);
  EXPECT_EQ(Int("f"), 17u);
  EXPECT_EQ(Int("missing", -3), static_cast<UINT>(-3));
}

TEST_F(ProfileTest, WriteIntoMissingFolderFailsAndCreatesNothing) {
  std::string missing = (dir_ / "nowhere" / "x.ini").string();
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", missing.c_str()));
  EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 0);
}

TEST_F(ProfileTest, WritesLeaveNoTemporaryFilesAndKeepThePermissions) {
  WriteFile("[S]\nk=1\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(WritePrivateProfileStringA("S", "k", std::to_string(i).c_str(), path_.c_str()));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"settings.ini"});
  EXPECT_EQ(fs::status(path_).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileTest, BackslashesAreSeparatorsAndBareNamesMeanTheCurrentFolder) {
  std::string windowsStyle = dir_.string() + "\\RErivaRude.ini";
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "v", windowsStyle.c_str()));
  EXPECT_TRUE(fs::exists(dir_ / "RErivaRude.ini"));

  fs::path before = fs::current_path();
  fs::current_path(dir_);
  char buffer[8];
  DWORD n = GetPrivateProfileStringA("S", "k", "", buffer, sizeof buffer, "RErivaRude.ini");
  fs::current_path(before);
  EXPECT_EQ(std::string(buffer, n), "v");
}

TEST_F(ProfileTest, NullSectionOrKeyListsTheNames) {
  WriteFile("[A]\nx=1\ny=2\n[B]\n");
  char buffer[32];
  DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path_.c_str());
  EXPECT_EQ(std::string(buffer, n + 1), std::string("A\0B\0\0", 5));
  n = GetPrivateProfileStringA("a", nullptr, "", buffer, sizeof buffer, path_.c_str());
  EXPECT_EQ(std::string(buffer, n + 1), std::string("x\0y\0\0", 5));
}

// Windows editors save with a byte-order mark and CR LF; the settings in such
// a file must not be lost, and a write keeps its form.
TEST_F(ProfileTest, AByteOrderMarkAndCrLfLinesReadAsWindowsReadsThem) {
  WriteFile("\xEF\xBB\xBF[RErivaRude_100]\r\nHideRec=1\r\nPayee_1=Rent\r\n");
  EXPECT_EQ(GetPrivateProfileIntA("RErivaRude_100", "HideRec", 0, path_.c_str()), 1u);
  EXPECT_EQ(Get("RErivaRude_100", "Payee_1"), "Rent");
  ASSERT_TRUE(WritePrivateProfileStringA("RErivaRude_100", "NumPayees", "1", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("RErivaRude_100", "HideRec", "0", path_.c_str()));
  EXPECT_EQ(ReadFile(), "\xEF\xBB\xBF[RErivaRude_100]\r\nHideRec=0\r\nPayee_1=Rent\r\nNumPayees=1\r\n");
}

// Only the separator before the file name is one; the folder's own name keeps its backslash.
TEST_F(ProfileTest, ABackslashInAFolderNameStays) {
  fs::create_directory(dir_ / "Bills\\2003");
  std::string path = (dir_ / "Bills\\2003").string() + "\\RErivaRude.ini";
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "v", path.c_str()));
  EXPECT_TRUE(fs::exists(dir_ / "Bills\\2003" / "RErivaRude.ini"));
  char buffer[8];
  EXPECT_EQ(GetPrivateProfileStringA("S", "k", "", buffer, sizeof buffer, path.c_str()), 1u);
}

// Reads keep the parsed file; a change on disk, even one that keeps the size
// and the modification time, must still be seen.
TEST_F(ProfileTest, AFileChangedBetweenReadsIsReadAgain) {
  WriteFile("[S]\nk=1\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(250));  // old enough to be kept
  EXPECT_EQ(Int("k"), 1u);
  struct stat before;
  ASSERT_EQ(stat(path_.c_str(), &before), 0);
  WriteFile("[S]\nk=2\n");
  struct timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, path_.c_str(), times, 0), 0);
  EXPECT_EQ(Int("k"), 2u);
  fs::remove(path_);
  EXPECT_EQ(Int("k"), 7u);
}

// A writer killed at any moment leaves the file whole, and the next write
// leaves nothing else in the folder.
TEST_F(ProfileTest, AWriterKilledMidWriteLeavesNoStrayFileAfterTheNextWrite) {
  const std::string big(20000, 'x');
  for (int round = 0; round < 20; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) WritePrivateProfileStringA("S", "k", (big + std::to_string(i)).c_str(), path_.c_str());
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200 + 700 * round));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string value = Get("S", "k", "", 30000);
    EXPECT_TRUE(value.empty() || value.starts_with(big)) << value.size();
  }
  ASSERT_TRUE(WritePrivateProfileStringA("S", "done", "1", path_.c_str()));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"settings.ini"});
}

}  // namespace
