#pragma once

#include "DeviceOperationOwner.h"
#include "LocalTime.h"
#include "TimeRecord.h"

#include <functional>
#include <string>

// The question that shows the device's clock: year.month.day, two blanks, hour:minute.second.
std::string FormatClockQuestion(const TimeRecord& deviceTime);

// "Aktualizuj czas": reads the device clock, shows it, and on Yes sets it to the PC's local time
// at the moment Yes was pressed (localNow is asked only then).
void RunClockUpdate(IDeviceOperationOwner& owner, const std::function<TimeRecord()>& localNow);
