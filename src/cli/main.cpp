#include "cli/Cli.h"
#include "cli/CliLanguage.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "host/ImageBytes.h"

int main(int argc, char** argv) {
    // One short-lived process per command: mapping the image is the cheapest way to read it,
    // and ending the process is an acceptable answer to another program truncating it.
    UseUserLanguage();
    ImageBytes::EnableMapping(std::string("darvex-cli: ") + (argc > 1 ? argv[1] : "") + ": ");
    int status = RunCli(argc, argv, std::cout, std::cerr);
    // A full disk or a closed pipe shows only when the buffered output is written out.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || std::fclose(stdout) != 0) {
        if (status == 0)
            std::fprintf(stderr, "darvex-cli: %s\n", Tr("cannot write to standard output").c_str());
        status = status == 0 ? 1 : status;
    }
    return status;
}
