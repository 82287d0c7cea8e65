// The script front end: actions read from a stream, one a line (the
// language is described in README.md), for running the program without a
// terminal.
#pragma once

#include <functional>
#include <iosfwd>

// Installs the script front end over `in` and `out`, runs `entry` and
// returns its result. Message boxes and "print" write to `out`; problems with
// the script go to `out` too, prefixed "error:".
int RunWithScriptFrontEnd(std::istream& in, std::ostream& out, const std::function<int()>& entry);
