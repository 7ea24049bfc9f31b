#pragma once

#include "CmdTarget.h"
#include "LinkOwner.h"

// The user-interface side of the device link. Connecting and the link events arrive with the
// worker; until then it keeps the buttons in the disconnected state.
class CComLink : public CCmdTarget {
public:
    explicit CComLink(ILinkOwner& owner) : m_pOwner(&owner) {}

    // Puts the main window's buttons into the disconnected state.
    void SetControlsDisconnected();
    // Asks the worker to stop; there is none yet.
    int RequestStop() { return 1; }

private:
    ILinkOwner* m_pOwner;
};
