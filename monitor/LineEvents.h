#pragma once

#include <string>

// Link events the line monitor shows beside the wire: the main window tells whoever listens.
enum class LineEvent {
    Opening, // the text names the port and its speed
    Connected,
    Ended,
    PortFailure, // the text holds the system's reason
    Timeout,     // a request got no answer in time; the text names it
};

class ILineEvents {
public:
    virtual void OnLineEvent(LineEvent event, const std::string& text) = 0;

protected:
    ~ILineEvents() = default;
};
