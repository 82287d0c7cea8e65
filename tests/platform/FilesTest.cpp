// The file calls of the layer: what a file it makes may be read by, and the
// kind of a standard handle, which decides whether progress is shown.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/win32.h"
#include "tests/support/TempFolder.h"

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 0777;
}

// A file made with a permissive umask must still be its owner's alone; one
// that exists keeps the rights its owner gave it, and CREATE_ALWAYS empties it.
TEST(Files, CreateAlwaysMakesOwnerOnlyFilesAndKeepsTheRightsOfOldOnes) {
  TempFolder folder;
  const std::string fresh = folder / "fresh.csv", old = folder / "old.csv";
  std::ofstream(old) << "old text";
  chmod(old.c_str(), 0644);
  const mode_t saved = umask(0);
  for (const std::string& path : {fresh, old}) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    EXPECT_EQ(CloseHandle(file), TRUE);
  }
  umask(saved);
  EXPECT_EQ(ModeOf(fresh), 0600u);
  EXPECT_EQ(ModeOf(old), 0644u);
  std::ifstream in(old);
  EXPECT_EQ(in.peek(), std::ifstream::traits_type::eof());
}

TEST(Files, StandardHandlesTellConsolesFromFilesAndPipes) {
  TempFolder folder;
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const int file = open((folder / "log").c_str(), O_CREAT | O_WRONLY, 0600);
  const int device = open("/dev/null", O_WRONLY);
  const struct {
    int fd;
    DWORD type;
  } cases[] = {{pipeEnds[1], FILE_TYPE_PIPE}, {file, FILE_TYPE_DISK}, {device, FILE_TYPE_CHAR}};
  const int saved = dup(2);
  for (const auto& c : cases) {
    dup2(c.fd, 2);
    const DWORD type = GetFileType(GetStdHandle(STD_ERROR_HANDLE));
    dup2(saved, 2);
    EXPECT_EQ(type, c.type) << c.fd;
  }
  EXPECT_EQ(GetFileType(INVALID_HANDLE_VALUE), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
  for (int fd : {saved, pipeEnds[0], pipeEnds[1], file, device}) close(fd);
}

}  // namespace
