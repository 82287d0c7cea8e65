// checkbook-io beside a running register: the register holds Ledger.dat, so
// checkbook-io must refuse it and change nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {


std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LockTest, LedgerOpenInTheRegisterIsRefusedWithExitCode1) {
  char pattern[] = "/tmp/checkbook-io-lock-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path root = pattern;
  const fs::path data = root / "data";
  fs::create_directory(data);
  std::ofstream(data / "setup.txt") << "menu 40001\ntype 1013 Household\ntype 1014 100\nclick 1\n";
  std::ofstream(root / "s.qif") << "!Type:Bank\nD01/02/2003\nT-1.00\nPShop\n^\n";
  const std::string inData = "cd " + Quoted(data) + " && ";
  ASSERT_EQ(Shell(inData + Quoted(CHECKBOOK_EXE) + " < setup.txt > /dev/null 2>&1"), 0);

  // The register waits on its input, holding Ledger.dat, until the pipe closes;
  // "print" answers once it is up.
  std::FILE* holder = popen((inData + Quoted(CHECKBOOK_EXE) + " > held.txt 2>&1").c_str(), "w");
  ASSERT_NE(holder, nullptr);
  std::fputs("print\n", holder);
  std::fflush(holder);
  for (int i = 0; i < 200 && ReadFile(data / "held.txt").find("dialog 101") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_NE(ReadFile(data / "held.txt").find("dialog 101"), std::string::npos) << ReadFile(data / "held.txt");

  const bool locked = Shell(inData + Quoted(CHECKBOOK_EXE) + " < /dev/null > second.txt 2>&1") == 1;
  int code = -1;
  std::string err;
  if (locked) {
    code = Shell(inData + Quoted(CHECKBOOK_IO_EXE) + " import ../s.qif > out.txt 2> err.txt");
    err = ReadFile(data / "err.txt");
  }
  pclose(holder);
  if (!locked) {
    fs::remove_all(root);
    GTEST_SKIP() << "the engine takes no lock on Ledger.dat yet: a second register opened it";
  }
  EXPECT_EQ(code, 1);
  EXPECT_EQ(err.rfind("checkbook-io: can not open Ledger.dat", 0), 0u) << err;
  EXPECT_EQ(Shell("sqlite3 " + Quoted(data / "Ledger.dat") + " 'SELECT count(*) FROM QLedger' | grep -qx 0"), 0);
  fs::remove_all(root);
}

}  // namespace
