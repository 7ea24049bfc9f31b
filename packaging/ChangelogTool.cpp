// Writes the Debian changelog of the package from the README's release notes, at build time:
//   qal-changelog README PACKAGE VERSION MAINTAINER OUTPUT
// The newest release in the notes must be VERSION: a version raised without a note stops the
// build instead of shipping a changelog that ends a version early.
#include "ReleaseNotes.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: qal-changelog README PACKAGE VERSION MAINTAINER OUTPUT\n";
        return 2;
    }
    const std::string readmePath = argv[1];
    const std::string version = argv[3];
    std::ifstream readme(readmePath, std::ios::binary);
    std::ostringstream text;
    if (readme) {
        text << readme.rdbuf();
    }
    if (!readme || readme.bad()) {
        std::cerr << "qal-changelog: cannot read " << readmePath << '\n';
        return 1;
    }
    std::string error;
    const auto releases = ParseReleaseNotes(text.str(), error);
    if (!releases) {
        std::cerr << "qal-changelog: " << readmePath << ": " << error << '\n';
        return 1;
    }
    if (releases->front().version != version) {
        std::cerr << "qal-changelog: " << readmePath << ": the release notes start with "
                  << releases->front().version << ", not with this version, " << version
                  << ": add a note on what it changes\n";
        return 1;
    }
    std::ofstream out(argv[5], std::ios::binary | std::ios::trunc);
    out << DebianChangelog(argv[2], *releases, argv[4]);
    out.close();
    if (!out) {
        std::cerr << "qal-changelog: cannot write " << argv[5] << '\n';
        return 1;
    }
    return 0;
}
