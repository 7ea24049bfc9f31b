#pragma once

// Texts shared by the operations started from the main window's buttons.
inline constexpr const char* kNoAnswerText = "Urządzenie nie odpowiada";
inline constexpr const char* kSeparatorLine =
    "----------------------------------------------------"; // 52 hyphens
