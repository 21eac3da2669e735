#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/Commands.h"

CLI::App* CommandSet::Add(const std::string& name, const std::string& description,
                          std::function<int()> run) {
    CLI::App* sub = m_app.add_subcommand(name, description);
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

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app("Darvex: files and boot programs of MZ-80B/2000/2500 floppy disk images (D88)",
                 "darvex-cli");
    app.require_subcommand(1);
    CommandSet commands(app, {out, err});
    AddInfoCommands(commands);
    AddGetCommand(commands);
    AddPutCommand(commands);
    AddRmCommand(commands);
    AddBootCommands(commands);
    AddCheckCommand(commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(e, out, err); // --help
        err << "darvex-cli: " << e.what() << "\n"
            << "Run 'darvex-cli --help' or 'darvex-cli COMMAND --help' for usage.\n";
        return kExitUsage;
    }
    const int status = commands.RunSelected();
    // Results that never reached their reader are a failure, whatever the command did.
    out.flush();
    if (!out) {
        err << "darvex-cli: cannot write to standard output\n";
        return kExitFailed;
    }
    return status;
}
