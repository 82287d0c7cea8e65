// The terminal front end: draws the dialog manager's windows with ncurses
// and turns a person's keys and mouse into the layer's input calls.
#pragma once

#include <functional>

// Sets up the terminal (wide characters, the environment's character set),
// installs the front end, runs `entry` and restores the screen, also when a
// crash signal ends the process. Ctrl+C, SIGINT, SIGTERM and SIGHUP close the
// open windows as their close boxes would, so the program shuts down in order.
// Returns entry's result.
int RunWithTerminalFrontEnd(const std::function<int()>& entry);
