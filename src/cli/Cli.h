#pragma once

#include <iosfwd>

// Runs darvex-cli with the given arguments; returns the exit status (0 ok, 1 failed, 2 usage).
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);
