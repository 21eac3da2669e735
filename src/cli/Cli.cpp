#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <string_view>

#include "Version.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"
#include "fs/Translation.h"

CLI::App* CommandSet::Add(const std::string& name, const std::string& description,
                          std::function<int()> run) {
    CLI::App* sub = m_app.add_subcommand(name, description);
    sub->group(Tr("Subcommands"));
    // CLI11 makes a subcommand's help flag before it takes the parent's option group.
    if (CLI::Option* help = sub->get_help_ptr())
        help->group(m_app.option_defaults()->get_group());
    m_entries.push_back({sub, std::move(run)});
    return sub;
}

int CommandSet::RunSelected() const {
    for (const Entry& entry : m_entries)
        if (entry.app->parsed())
            return entry.run();
    return kExitUsage;
}

int Fail(CliStreams& io, std::string_view command, std::string_view subject,
         std::string_view reason) {
    io.err << "darvex-cli: " << command << ": ";
    if (!subject.empty())
        io.err << subject << ": ";
    io.err << reason << '\n';
    return kExitFailed;
}

namespace {

// Each command with the function that registers it (one function may register several).
struct CommandEntry {
    std::string_view name;
    void (*add)(CommandSet&);
};

// In the order the tool's help lists them; a function's commands stand together.
constexpr CommandEntry kCommands[] = {
    {"new", AddDiskSetCommands},     {"disk-add", AddDiskSetCommands},
    {"disk-rm", AddDiskSetCommands}, {"label", AddDiskSetCommands},
    {"info", AddInfoCommands},       {"ls", AddInfoCommands},
    {"tree", AddInfoCommands},       {"get", AddGetCommand},
    {"put", AddPutCommand},          {"rm", AddRmCommand},
    {"rename", AddEditCommands},     {"attr", AddEditCommands},
    {"boot-get", AddBootCommands},   {"boot-put", AddBootCommands},
    {"check", AddCheckCommand},      {"cat", AddViewCommands},
    {"dump", AddViewCommands},
};

// The command the arguments name: the first one that is not an option (the tool itself takes
// no option with a value). Empty when there is none or it names no command.
std::string_view ChosenCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.empty() || arg.front() == '-')
            continue;
        for (const CommandEntry& command : kCommands)
            if (command.name == arg)
                return command.name;
        return {};
    }
    return {};
}

} // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app(Tr("Darvex: files and boot programs of MZ-80B/2000/2500 floppy disk images (D88)"),
                 "darvex-cli");
    app.require_subcommand(1);
    // CLI11's own words in the help, in the tool's language; subcommands inherit them.
    for (const char* label : {N_("Usage"), N_("Positionals"), N_("OPTIONS"), N_("SUBCOMMAND"),
                              N_("SUBCOMMANDS"), N_("REQUIRED"), N_("Needs"), N_("Excludes")})
        app.get_formatter()->label(label, Tr(label));
    app.option_defaults()->group(Tr("Options"));
    app.set_help_flag("-h,--help", Tr("Print this help message and exit"));
    app.set_version_flag("--version", std::string("darvex-cli ") + kDarvexVersion,
                         Tr("Display program version information and exit"));
    // Building a command's options is most of the parser's cost, so only the chosen one is
    // built; without one, all are, for the help and the error about an unknown command.
    const std::string_view chosen = ChosenCommand(argc, argv);
    CommandSet commands(app, {out, err}, chosen);
    void (*added)(CommandSet&) = nullptr;
    for (const CommandEntry& command : kCommands)
        if (command.add != added && commands.Wants(command.name)) {
            command.add(commands);
            added = command.add;
        }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(e, out, err); // --help, --version
        err << "darvex-cli: " << e.what() << "\n"
            << FormatText(Tr("Run '%s' or '%s' for usage."),
                          {"darvex-cli --help", "darvex-cli COMMAND --help"})
            << '\n';
        return kExitUsage;
    }
    const int status = commands.RunSelected();
    // Results that never reached their reader are a failure, whatever the command did.
    out.flush();
    if (!out) {
        err << "darvex-cli: " << Tr("cannot write to standard output") << '\n';
        return kExitFailed;
    }
    return status;
}
