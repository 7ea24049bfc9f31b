#include "ConsoleInterrupt.h"
#include "SimOptions.h"
#include "SimulatorWin32.h"

#include <iostream>

int main(int argc, char** argv) {
    const ParsedOptions parsed = ParseOptions(argc, argv);
    if (parsed.outcome == ParsedOptions::Help) {
        std::cout << HelpText();
        return 0;
    }
    const std::string refusal =
        parsed.outcome == ParsedOptions::Error ? parsed.error : ListenOnlyRefusal(parsed.options);
    if (!refusal.empty()) {
        std::cerr << "qal-sim: " << refusal << "\nTry 'qal-sim --help'.\n";
        return 2;
    }
    // Ctrl+C and a closing console window stop the simulator between requests, so that it
    // takes its entry out of ports.json.
    CConsoleInterrupt stop;
    std::string error;
    if (!stop.Install(error)) {
        std::cerr << "qal-sim: " << error << '\n';
        return 1;
    }
    return RunSimulatorOnWindows(parsed.options, stop.Event(), std::cout, std::cerr);
}
