// The process entry on POSIX systems: answers --help and --version, then
// picks the front end and runs the program's WinMain under it. A person at a
// terminal gets the terminal front end; anything else (a pipe, a file, a
// test) drives the program by script.
#include <unistd.h>

#include <cstring>
#include <iostream>

#include "platform/script/script.h"
#include "platform/win32.h"
#include "resources/ProgramResources.h"
#ifdef CHECKBOOK_TERMINAL
#include "platform/terminal/terminal.h"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: checkbook [--help | --version]\n"
    "\n"
    "A checkbook register: one bank account's transactions, its running balance,\n"
    "and balancing against a bank statement.\n"
    "\n"
    "It keeps its files in the folder it is started in:\n"
    "  Ledger.dat       the account and its transactions (an SQLite database)\n"
    "  RErivaRude.ini   the payee list and the hide-reconciled preference\n"
    "  Report.txt       the register as text, written by Record > Report\n"
    "\n"
    "In a terminal it shows the register window. When standard input is not a\n"
    "terminal it reads actions from it instead, one a line (a script), and writes\n"
    "what it has to say to standard output.\n"
    "\n"
    "  --help      show this help and exit\n"
    "  --version   show the name and version and exit\n"
    "\n"
    "The keys, the script language and the exit codes: man checkbook\n";

constexpr int kUsageError = 2;

// The exit code when the arguments ask for something other than the
// register, or -1 to start it. Every argument is checked before any is acted
// on, so a mistyped one is never silently ignored.
int AnswerArguments(int argc, char** argv) {
  if (argc <= 1) return -1;
  bool help = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      help = true;
    } else if (std::strcmp(argv[i], "--version") != 0) {
      std::cerr << "checkbook: unknown argument '" << argv[i] << "'\n\n" << kUsage;
      return kUsageError;
    }
  }
  if (help) {
    std::cout << kUsage;
  } else {
    std::cout << "checkbook " << CHECKBOOK_VERSION << "\n";
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (int code = AnswerArguments(argc, argv); code >= 0) return code;
  UseProgramResources();
  auto entry = [] { return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL); };
#ifdef CHECKBOOK_TERMINAL
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return RunWithTerminalFrontEnd(entry);
#endif
  return RunWithScriptFrontEnd(std::cin, std::cout, entry);
}
