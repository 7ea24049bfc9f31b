#pragma once

// Something that commands (button clicks, posted command ids) can be offered to. A target that
// handles the command returns true, which ends the routing.
class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    virtual bool OnCmdMsg(unsigned id) {
        (void)id;
        return false;
    }
};
