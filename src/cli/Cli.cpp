#include "cli/Cli.h"

#include <ostream>

int RunCli(int, char**, std::ostream&, std::ostream& err) {
    err << "darvex-cli: no commands yet\n";
    return 2;
}
