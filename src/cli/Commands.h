#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

// Where a command writes: its results to out, its one-line failure messages to err.
struct CliStreams {
    std::ostream& out;
    std::ostream& err;
};

// The sub-commands of the tool and what each runs once the arguments are parsed. The option
// values live in objects the run functions own, so they outlive the parse.
class CommandSet {
public:
    // only: the one command to register (the others cost start-up time and are never run);
    // empty registers them all, for the tool's own help and for unknown commands.
    CommandSet(CLI::App& app, CliStreams io, std::string_view only = {})
        : m_app(app), m_io(io), m_only(only) {}

    bool Wants(std::string_view name) const { return m_only.empty() || m_only == name; }

    CLI::App* Add(const std::string& name, const std::string& description,
                  std::function<int()> run);
    // The exit status of the command the parse selected; 2 when none was.
    int RunSelected() const;

    CliStreams& Io() { return m_io; }

private:
    struct Entry {
        CLI::App* app;
        std::function<int()> run;
    };
    CLI::App& m_app;
    CliStreams m_io;
    std::string_view m_only;
    std::vector<Entry> m_entries;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Prints "darvex-cli: COMMAND: SUBJECT: REASON" and returns kExitFailed.
int Fail(CliStreams& io, std::string_view command, std::string_view subject,
         std::string_view reason);

void AddDiskSetCommands(CommandSet& commands); // new, disk-add, disk-rm, label
void AddInfoCommands(CommandSet& commands);    // info, ls, tree
void AddGetCommand(CommandSet& commands);
void AddPutCommand(CommandSet& commands);
void AddRmCommand(CommandSet& commands);
void AddEditCommands(CommandSet& commands); // rename, attr
void AddBootCommands(CommandSet& commands); // boot-get, boot-put
void AddCheckCommand(CommandSet& commands); // check
void AddViewCommands(CommandSet& commands); // cat, dump
