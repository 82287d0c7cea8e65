// The process entry on POSIX systems: answers --help and --version, then
// picks the front end and runs the program's WinMain under it. Without an
// option a person at a terminal gets the terminal front end and anything else
// (a pipe, a file, a test) drives the program by script; --window, --terminal
// and --script choose one. --desktop is how the desktop entry starts it: a
// window, with the files in the documents folder.
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "platform/script/script.h"
#include "platform/win32.h"
#include "resources/ProgramResources.h"
#ifdef CHECKBOOK_TERMINAL
#include "platform/terminal/terminal.h"
#endif
#ifdef CHECKBOOK_GTK
#include "platform/gtk/gtk_front_end.h"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: checkbook [--window | --terminal | --script | --desktop] [--help | --version]\n"
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
    "  --window    show the register as a window on the desktop\n"
    "  --terminal  show it in the terminal\n"
    "  --script    read actions from standard input\n"
    "  --desktop   a window, keeping the files in Checkbook in the documents\n"
    "              folder (created when missing); the application menu's entry\n"
    "  --help      show this help and exit\n"
    "  --version   show the name and version and exit\n"
    "\n"
    "The keys, the script language and the exit codes: man checkbook\n";

constexpr int kUsageError = 2;

enum class FrontEnd { Chosen, Window, Terminal, Script, Desktop };

struct Arguments {
  int exitCode = -1;  // set when the arguments ask for something other than the register
  FrontEnd frontEnd = FrontEnd::Chosen;
};

int Refuse(const std::string& why) {
  std::cerr << "checkbook: " << why << "\n\n" << kUsage;
  return kUsageError;
}

// Every argument is checked before any is acted on, so a mistyped one is
// never silently ignored.
Arguments AnswerArguments(int argc, char** argv) {
  Arguments out;
  bool help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    FrontEnd chosen = FrontEnd::Chosen;
    if (arg == "--help") help = true;
    else if (arg == "--version") version = true;
    else if (arg == "--window") chosen = FrontEnd::Window;
    else if (arg == "--terminal") chosen = FrontEnd::Terminal;
    else if (arg == "--script") chosen = FrontEnd::Script;
    else if (arg == "--desktop") chosen = FrontEnd::Desktop;
    else {
      out.exitCode = Refuse("unknown argument '" + arg + "'");
      return out;
    }
    if (chosen != FrontEnd::Chosen) {
      if (out.frontEnd != FrontEnd::Chosen && out.frontEnd != chosen) {
        out.exitCode = Refuse("choose one of --window, --terminal, --script and --desktop");
        return out;
      }
      out.frontEnd = chosen;
    }
  }
  if (!help && !version) return out;
  if (help) std::cout << kUsage;
  else std::cout << "checkbook " << CHECKBOOK_VERSION << "\n";
  std::cout.flush();
  out.exitCode = std::cout ? 0 : 1;
  return out;
}

int RunProgram() { return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL); }

#ifdef CHECKBOOK_GTK
// The desktop front end, loaded from the program's folder only now: the
// terminal and scripts never load the desktop's libraries.
const gtkfe::DesktopModule* LoadDesktop() {
  HMODULE module = LoadLibraryA(gtkfe::kModuleFile);
  const char* why = module ? nullptr : dlerror();
  // (through void (*)(), the one cast between function types that says so)
  auto get = module ? reinterpret_cast<gtkfe::ModuleExport>(
                          reinterpret_cast<void (*)()>(GetProcAddress(module, gtkfe::kModuleExport)))
                    : nullptr;
  const gtkfe::DesktopModule* desktop = get ? get() : nullptr;
  if (!desktop) {
    std::cerr << "checkbook: cannot open a window: the desktop front end " << gtkfe::kModuleFile
              << (module ? " has no front end in it" : " cannot be loaded from the program's folder")
              << (why ? std::string(" (") + why + ")" : std::string()) << "; --terminal shows the register in a terminal\n";
    if (module) FreeLibrary(module);
  }
  return desktop;  // kept loaded to the end: GTK cannot be unloaded
}
#endif

int RunWindow(bool desktop) {
#ifdef CHECKBOOK_GTK
  const gtkfe::DesktopModule* gtk = LoadDesktop();
  if (!gtk) return 1;
  gtkfe::Options options;
  options.applicationId = "net.qarvo.checkbook";
  options.applicationName = "Checkbook";
  options.iconName = "checkbook";
  if (!gtk->openDisplay(options)) {
    std::cerr << "checkbook: cannot open a window: no display (DISPLAY or WAYLAND_DISPLAY names none that answers);"
                 " --terminal shows the register in a terminal\n";
    return 1;
  }
  if (desktop) {
    std::string documents = gtk->documentsFolder();
    std::error_code error;
    std::filesystem::path folder = std::filesystem::path(documents) / "Checkbook";
    if (documents.empty() || (std::filesystem::create_directories(folder, error), error) ||
        chdir(folder.c_str()) != 0) {
      std::cerr << "checkbook: cannot use the folder " << folder.string() << (error ? ": " + error.message() : "")
                << "\n";
      return 1;
    }
  }
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) options.iconFolder = (exe.parent_path() / "icons").string();
  return gtk->run(RunProgram, options);
#else
  (void)desktop;
  std::cerr << "checkbook: this build has no window front end (GTK 4 was not found when it was built)\n";
  return 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments = AnswerArguments(argc, argv);
  if (arguments.exitCode >= 0) return arguments.exitCode;
  UseProgramResources();
  switch (arguments.frontEnd) {
    case FrontEnd::Window:
    case FrontEnd::Desktop:
      return RunWindow(arguments.frontEnd == FrontEnd::Desktop);
    case FrontEnd::Script:
      return RunWithScriptFrontEnd(std::cin, std::cout, RunProgram);
    case FrontEnd::Terminal:
#ifdef CHECKBOOK_TERMINAL
      return RunWithTerminalFrontEnd(RunProgram);
#else
      std::cerr << "checkbook: this build has no terminal front end\n";
      return 1;
#endif
    case FrontEnd::Chosen:
      break;
  }
#ifdef CHECKBOOK_TERMINAL
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return RunWithTerminalFrontEnd(RunProgram);
#endif
  return RunWithScriptFrontEnd(std::cin, std::cout, RunProgram);
}
