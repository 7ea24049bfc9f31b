#include "SimOptions.h"
#include "Simulator.h"
#include "StopSignal.h"

#include <iostream>

int main(int argc, char** argv) {
    const ParsedOptions parsed = ParseOptions(argc, argv);
    if (parsed.outcome == ParsedOptions::Help) {
        std::cout << HelpText();
        return 0;
    }
    if (parsed.outcome == ParsedOptions::Error) {
        std::cerr << "qal-sim: " << parsed.error << "\nTry 'qal-sim --help'.\n";
        return 2;
    }
    CStopSignal stop;
    std::string error;
    if (!stop.Install(error)) {
        std::cerr << "qal-sim: " << error << '\n';
        return 1;
    }
    return RunSimulator(parsed.options, stop.Fd(), std::cout, std::cerr);
}
