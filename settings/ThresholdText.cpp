#include "ThresholdText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace {

// Tenths written as the dialog writes them: sign, whole part, point, one digit.
std::string TenthsText(int tenths) {
    const int magnitude = std::abs(tenths);
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10);
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atof's reading in the "C" locale: from_chars takes neither white space nor a leading '+',
// and needs no locale at all.
double ReadNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) {
        ++pos;
    }
    text.remove_prefix(pos);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return 0.0; // "+-1" has no valid prefix
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Whatever follows the number is ignored, as atof ignores it.
    if (error == std::errc::result_out_of_range) {
        // A negative exponent made it too small (zero), anything else too large.
        const std::string_view number = text.substr(0, static_cast<std::size_t>(end - text.data()));
        if (number.find("e-") != std::string_view::npos ||
            number.find("E-") != std::string_view::npos) {
            return 0.0;
        }
        const double huge = std::numeric_limits<double>::infinity();
        return number.front() == '-' ? -huge : huge;
    }
    return error == std::errc() ? value : 0.0;
}

} // namespace

std::string FormatThreshold(std::int16_t tenths) {
    return TenthsText(tenths);
}

int ThresholdValue(std::string_view text) {
    const double scaled = std::trunc(ReadNumber(text) * 10.0);
    if (std::isnan(scaled)) {
        return 0;
    }
    if (scaled >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (scaled <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(scaled);
}

std::optional<std::string> ThresholdProblem(std::int16_t lo, std::int16_t hi, int value,
                                            std::string_view text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || c == '-' || c == '.')) {
            return "Niedozwolone znaki";
        }
    }
    if (value < lo || value > hi) {
        return "Wartosc powinna byc z zakresu od " + TenthsText(lo) + " do " + TenthsText(hi);
    }
    return std::nullopt;
}
