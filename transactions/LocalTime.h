#pragma once

#include "TimeRecord.h"

// The PC's local time as the device keeps it.
TimeRecord LocalTimeNow();
