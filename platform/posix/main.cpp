// The process entry on POSIX systems: picks the front end and runs the
// program's WinMain under it. A person at a terminal gets the terminal front
// end; anything else (a pipe, a file, a test) drives the program by script.
#include <unistd.h>

#include <iostream>

#include "platform/posix/script.h"
#include "platform/win32.h"
#ifdef CHECKBOOK_TERMINAL
#include "platform/terminal/terminal.h"
#endif

int main() {
  auto entry = [] { return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL); };
#ifdef CHECKBOOK_TERMINAL
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return RunWithTerminalFrontEnd(entry);
#endif
  return RunWithScriptFrontEnd(std::cin, std::cout, entry);
}
