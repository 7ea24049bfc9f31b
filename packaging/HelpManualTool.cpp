// Writes a manual page from a program's --help text, at build time, so that the two cannot
// say different things:
//   qal-help-manual TEMPLATE HELP OUTPUT
// TEMPLATE is the page with its line "@HELP@" where the sections made from HELP go.
#include "HelpManual.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

namespace {

std::optional<std::string> ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        return std::nullopt;
    }
    return text.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: qal-help-manual TEMPLATE HELP OUTPUT\n";
        return 2;
    }
    const std::optional<std::string> manualTemplate = ReadFile(argv[1]);
    const std::optional<std::string> help = ReadFile(argv[2]);
    if (!manualTemplate || !help) {
        std::cerr << "qal-help-manual: cannot read " << (manualTemplate ? argv[2] : argv[1])
                  << '\n';
        return 1;
    }
    std::string error;
    const std::optional<std::string> sections = ManualFromHelp(*help, error);
    if (!sections) {
        std::cerr << "qal-help-manual: " << argv[2] << ": " << error << '\n';
        return 1;
    }
    const std::optional<std::string> page = FillManualTemplate(*manualTemplate, *sections, error);
    if (!page) {
        std::cerr << "qal-help-manual: " << argv[1] << ": " << error << '\n';
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << *page;
    out.close();
    if (!out) {
        std::cerr << "qal-help-manual: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
