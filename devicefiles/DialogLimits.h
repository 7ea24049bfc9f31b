#pragma once

#include "DeviceRecords.h"

#include <string>
#include <vector>

// The values a write of target would put on the device that the settings dialogs would not let
// through, one line each with the setting, the value and what the dialog allows:
// "Zakres [m/s]: 100 (dozwolone od 5 do 20)". Only settings of the records written whose value
// differs from the device's are looked at: what the device holds already is not news.
std::vector<std::string> ValuesBeyondDialogLimits(const DeviceRecords& device,
                                                  const DeviceRecords& target,
                                                  const std::vector<RecordKind>& written);
