#pragma once

#include <string>
#include <vector>

// The program's command line. Flags start with "-" (a "/" starts an absolute path here).
struct CommandLine {
    enum class Action { Run, Print, PrintTo, Unregister, Help, Version, Error };

    Action action = Action::Run;
    std::string file;    // UTF-8, whatever the locale
    std::string printer; // -pt
    std::string error;   // for Action::Error

    // args excludes the program name.
    static CommandLine Parse(const std::vector<std::string>& args);
    static std::string HelpText();
};
