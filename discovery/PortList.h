#pragma once

#include "PortCandidate.h"

#include <functional>
#include <string>
#include <vector>

// What the system knows of its serial ports; each platform plugs in its own enumeration.
using SystemPortLister = std::function<std::vector<PortCandidate>()>;

// The COM<n> entries (1 to 255) of the settings folder and the network ports its ports.json
// maps (device and reached: the URL; such a port's link, if any, is left out), by number.
// settingsDirectory may be empty (the current directory) or end in a separator.
std::vector<PortCandidate> SettingsFolderPorts(const std::string& settingsDirectory);

// One list without doubles: the folder's links first, then the system's ports. A system port
// that a link reaches lends the link its maker, product and serial number; on POSIX a
// /dev/ttyS<k> without a link gets the number k+1 it is opened by.
std::vector<PortCandidate> MergePorts(std::vector<PortCandidate> links,
                                      const std::vector<PortCandidate>& system);

// The lowest n for which the settings folder has no COM<n> entry and ports.json no mapping; 0
// when all 255 are taken.
int FirstFreeComNumber(const std::string& settingsDirectory);

// Makes the link <settingsDirectory>/COM<n> -> device, creating the folder when missing.
// Empty on success, else the system's reason.
std::string MakeComLink(const std::string& settingsDirectory, int port, const std::string& device);
