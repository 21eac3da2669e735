#include "ui/CommandLine.h"

#include <strings.h>

namespace {

bool FlagIs(const std::string& arg, const char* name) {
    return strcasecmp(arg.c_str() + 1, name) == 0;
}

} // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine cl;
    const auto fail = [&cl](std::string why) {
        cl.action = Action::Error;
        cl.error = std::move(why);
        return cl;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "-?")
            return CommandLine{Action::Help, {}, {}, {}};
        if (a == "--version")
            return CommandLine{Action::Version, {}, {}, {}};
        if (a.size() > 1 && a[0] == '-') {
            if (FlagIs(a, "Unregister") || FlagIs(a, "Unregserver")) {
                cl.action = Action::Unregister;
            } else if (FlagIs(a, "dde") || FlagIs(a, "Embedding") || FlagIs(a, "Automation")) {
                // Accepted for compatibility; nothing here talks DDE or automation.
            } else if (FlagIs(a, "p")) {
                if (i + 1 >= args.size())
                    return fail("-p needs a file");
                cl.action = Action::Print;
                cl.file = args[++i];
            } else if (FlagIs(a, "pt")) {
                if (i + 2 >= args.size())
                    return fail("-pt needs a file and a printer");
                cl.action = Action::PrintTo;
                cl.file = args[++i];
                cl.printer = args[++i];
            } else {
                return fail("unknown option " + a);
            }
            continue;
        }
        if (!cl.file.empty())
            return fail("more than one file given: " + a);
        cl.file = a;
    }
    return cl;
}

std::string CommandLine::HelpText() {
    return "Usage: darvex [IMAGE.d88]\n"
           "Shows and edits the MZ disk image IMAGE (a D88 file, .d88 or .d20).\n"
           "\n"
           "  -p FILE              print FILE and exit\n"
           "  -pt FILE PRINTER     print FILE on PRINTER and exit\n"
           "  -Unregister          remove this user's desktop registration and exit\n"
           "  -Unregserver         the same\n"
           "  -dde, -Embedding, -Automation   accepted and ignored\n"
           "  --help               show this text\n"
           "  --version            show the version\n";
}
