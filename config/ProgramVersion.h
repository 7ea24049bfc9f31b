#pragma once

// The program's version, as the event log, --version and the packages show it.
inline constexpr int kTerminalVersion = QAL_TERMINAL_VERSION;
