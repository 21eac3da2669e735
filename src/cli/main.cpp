#include "cli/Cli.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    int status = RunCli(argc, argv, std::cout, std::cerr);
    // A full disk or a closed pipe shows only when the buffered output is written out.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || std::fclose(stdout) != 0) {
        if (status == 0)
            std::fputs("darvex-cli: cannot write to standard output\n", stderr);
        status = status == 0 ? 1 : status;
    }
    return status;
}
