#include "ui/CommandLine.h"

#include <strings.h>

#include <wx/cmdline.h>
#include <wx/msgout.h>

#include "fs/Translation.h"

namespace {

// Every single-dash flag, as Describe names it.
constexpr const char* kFlags[] = {"p",   "pt",        "Unregister", "Unregserver",
                                  "dde", "Embedding", "Automation"};

// Collects what the parser would print, so that a caller decides where it goes.
class CollectedOutput : public wxMessageOutput {
public:
    void Output(const wxString& text) override { collected += text; }
    wxString collected;
};

wxString FromUtf8(const std::string& s) {
    return wxString::FromUTF8(s.data(), s.size());
}

// Through the core's translator: the help is also printed before the toolkit starts.
wxString Tr(const char* msgid) {
    return FromUtf8(Translate(msgid));
}

} // namespace

void CommandLine::Describe(wxCmdLineParser& parser) {
    parser.SetLogo(
        Tr(N_("Shows and edits the MZ disk image IMAGE (a D88 file, .d88 or .d20); several\n"
              "images open in a window each.")));
    parser.AddSwitch("h", "help", Tr(N_("show this text")), wxCMD_LINE_OPTION_HELP);
    parser.AddSwitch("?", wxEmptyString, Tr(N_("show this text")),
                     wxCMD_LINE_OPTION_HELP | wxCMD_LINE_HIDDEN);
    parser.AddSwitch(wxEmptyString, "version", Tr(N_("show the version")));
    parser.AddOption("p", wxEmptyString, Tr(N_("print FILE and exit")));
    parser.AddOption("pt", wxEmptyString,
                     Tr(N_("print FILE on PRINTER (the next argument) and exit")));
    parser.AddSwitch("Unregister", wxEmptyString,
                     Tr(N_("remove this user's desktop registration and exit")));
    parser.AddSwitch("Unregserver", wxEmptyString, Tr(N_("the same as -Unregister")));
    parser.AddSwitch("dde", wxEmptyString, Tr(N_("accepted and ignored")));
    parser.AddSwitch("Embedding", wxEmptyString, Tr(N_("accepted and ignored")));
    parser.AddSwitch("Automation", wxEmptyString, Tr(N_("accepted and ignored")));
    parser.AddParam("IMAGE", wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
}

CommandLine CommandLine::FromParser(const wxCmdLineParser& parser) {
    CommandLine cl;
    std::vector<std::string> params;
    for (size_t i = 0; i < parser.GetParamCount(); ++i)
        params.push_back(parser.GetParam(i).utf8_string());
    wxString file;
    if (parser.Found("version")) {
        cl.action = Action::Version;
    } else if (parser.Found("Unregister") || parser.Found("Unregserver")) {
        cl.action = Action::Unregister;
    } else if (parser.Found("pt", &file)) {
        // The printer is the argument after the file.
        if (params.size() != 1) {
            cl.action = Action::Error;
            cl.error = "-pt needs a file and a printer";
            return cl;
        }
        cl.action = Action::PrintTo;
        cl.files = {file.utf8_string()};
        cl.printer = params[0];
    } else if (parser.Found("p", &file)) {
        if (!params.empty()) {
            cl.action = Action::Error;
            cl.error = "-p prints one file";
            return cl;
        }
        cl.action = Action::Print;
        cl.files = {file.utf8_string()};
    } else {
        cl.files = params;
    }
    return cl;
}

std::vector<std::string> CommandLine::Canonical(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    bool options = true;
    for (const std::string& a : args) {
        if (a == "--")
            options = false;
        std::string arg = a;
        if (options && arg.size() > 1 && arg[0] == '-' && arg[1] != '-') {
            for (const char* flag : kFlags)
                if (strcasecmp(arg.c_str() + 1, flag) == 0)
                    arg = std::string("-") + flag;
        }
        out.push_back(arg);
    }
    return out;
}

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    std::vector<std::wstring> wide = {L"darvex"};
    for (const std::string& a : Canonical(args))
        wide.push_back(FromUtf8(a).ToStdWstring());
    std::vector<wchar_t*> argv;
    for (std::wstring& w : wide)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    wxCmdLineParser parser(static_cast<int>(wide.size()), argv.data());
    Describe(parser);
    CollectedOutput output;
    wxMessageOutput* previous = wxMessageOutput::Set(&output);
    const int result = parser.Parse(false);
    wxMessageOutput::Set(previous);
    if (result == -1)
        return CommandLine{Action::Help, {}, {}, {}};
    if (result != 0) {
        CommandLine cl;
        cl.action = Action::Error;
        cl.error = output.collected.Strip(wxString::both).utf8_string();
        if (cl.error.empty())
            cl.error = "the command line could not be understood";
        return cl;
    }
    return FromParser(parser);
}

std::string CommandLine::HelpText() {
    wchar_t name[] = L"darvex";
    wchar_t* argv[] = {name, nullptr};
    wxCmdLineParser parser(1, argv);
    Describe(parser);
    return parser.GetUsageString().utf8_string();
}
