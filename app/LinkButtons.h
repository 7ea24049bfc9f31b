#pragma once

#include "LinkState.h"

#include <functional>

// The main window's buttons in each link state, from one table: a new button is one row.
// Calls enable(id, on) for every button the state sets; a button the state leaves as it was is
// not named.
void ApplyLinkButtons(LinkState state, const std::function<void(int id, bool on)>& enable);
