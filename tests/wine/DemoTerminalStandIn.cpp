// Stands in for qal-terminal.exe beside qal-demo.exe (demo-wine.sh): writes what the terminal
// would find when it starts (its APPDATA and the ports.json in its settings folder there) to the
// file QAL_STAND_IN_REPORT names, and ends, as a user closing the window would.
#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    const char* report = std::getenv("QAL_STAND_IN_REPORT");
    const char* appData = std::getenv("APPDATA");
    if (report == nullptr || appData == nullptr) {
        return 2;
    }
    std::FILE* out = std::fopen(report, "w");
    if (out == nullptr) {
        return 3;
    }
    std::fprintf(out, "APPDATA=%s\n", appData);
    const std::string ports = std::string(appData) + "\\qal-terminal\\ports.json";
    if (std::FILE* in = std::fopen(ports.c_str(), "r")) {
        char buffer[4096];
        const std::size_t size = std::fread(buffer, 1, sizeof buffer, in);
        (void)std::fclose(in);
        std::fwrite(buffer, 1, size, out);
    }
    return std::fclose(out) == 0 ? 0 : 4;
}
