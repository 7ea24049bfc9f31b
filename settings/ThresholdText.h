#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Output thresholds are tenths of m/s on the device and texts with one decimal in the dialog.
// Both directions use a point whatever the user's locale.

// "5.5" for 55, "-20.0" for -200, "0.5" for 5, "-0.3" for -3.
std::string FormatThreshold(std::int16_t tenths);

// The text read as a decimal number the way the C library's atof reads it in the "C" locale
// (leading white space skipped, the longest valid prefix taken, 0 when there is none), times
// ten, truncated toward zero: "1.19" gives 11, "1.2.3" gives 12, "" and "-" give 0. Values
// beyond the int range saturate.
int ThresholdValue(std::string_view text);

// Why a threshold text is refused, or nothing when it passes: "Niedozwolone znaki" for any
// character other than a digit, '-' or '.', else the range message when value lies outside
// lo..hi.
std::optional<std::string> ThresholdProblem(std::int16_t lo, std::int16_t hi, int value,
                                            std::string_view text);
