#pragma once

// What the link controller needs of the window that owns it.
class ILinkOwner {
public:
    virtual void EnableControl(int id, bool enable) = 0;

protected:
    ~ILinkOwner() = default;
};
