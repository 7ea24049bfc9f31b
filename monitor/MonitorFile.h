#pragma once

#include "MonitorRows.h"

#include <string>
#include <system_error>

// "Zapisz…": every row kept, whatever the filter hides, as text (a heading, then one
// tab-separated line a row) or, for a name ending in ".csv", as CSV. The file is put in place
// whole (see FileReplace), and only a regular file or none is replaced. False, with the reason,
// when it could not be.
bool SaveMonitorRows(const CMonitorRows& rows, const std::string& utf8Path, std::error_code& error);
