#pragma once

#include <string>
#include <vector>

class wxCmdLineParser;

// The program's command line, read by wxCmdLineParser. Flags start with "-" (a "/" starts an
// absolute path here); the single-dash ones may be written in any case.
struct CommandLine {
    enum class Action { Run, Print, PrintTo, Unregister, Help, Version, Error };

    Action action = Action::Run;
    std::vector<std::string> files; // UTF-8, whatever the locale; the first is opened here
    std::string printer;            // -pt
    std::string error;              // for Action::Error

    // The options and parameters, for a parser of the raw arguments and for the
    // application's OnInitCmdLine.
    static void Describe(wxCmdLineParser& parser);
    // What a parser that has parsed successfully holds.
    static CommandLine FromParser(const wxCmdLineParser& parser);
    // The flags spelled as they were described ("-unregserver" -> "-Unregserver"); the
    // parser itself compares names exactly.
    static std::vector<std::string> Canonical(const std::vector<std::string>& args);
    // Parses args (without the program name) as the application will.
    static CommandLine Parse(const std::vector<std::string>& args);
    static std::string HelpText();
};
