// cvhost-extract: splits uploaded run files into their archive, raw, battery and summary files.
#include <iostream>
#include <string>
#include <vector>

#include "files/extract_cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return cvh::runExtractCli(args, std::cout, std::cerr);
}
