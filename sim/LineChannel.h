#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

// What woke the device loop: any of them may hold at once.
struct LineWake {
    bool failed = false; // the wait itself failed; failure says why
    std::string failure;
    bool stop = false;         // a stop was asked for
    bool inputEnded = false;   // the watched input reached its end
    bool lineReadable = false; // the line has something to read (or has gone)
};

struct LineRead {
    enum Outcome {
        Data,    // size characters
        Nothing, // none now; try again when the line is readable
        Gone,    // closed or broken; failure says why
    };
    Outcome outcome = Nothing;
    std::size_t size = 0;
    std::string failure;
};

// The device's line as the system gives it (a descriptor and poll on POSIX, a socket and events
// on Windows), with the stop request and the input whose end stops the loop.
class ILineChannel {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~ILineChannel() = default;

    // Sleeps until the line is readable (only when watchLine), a stop is asked for, the input
    // ends, or due has come (no time limit when empty).
    virtual LineWake Wait(bool watchLine, std::optional<Clock::time_point> due) = 0;
    virtual LineRead Read(char* buffer, std::size_t size) = 0;
    // Whether all of data went out now; a line whose buffer is full takes none or only a part.
    virtual bool Write(const char* data, std::size_t size) = 0;
};
