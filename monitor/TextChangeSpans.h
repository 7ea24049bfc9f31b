#pragma once

#include <string_view>
#include <vector>

// Where a line of text looks different after a change, for repainting only that: spans along
// the line between glyph edges. Edges hold, for each character, where it starts, and one more
// where the text ends (n + 1 values for n characters), in the same unit as the spans.
struct TextSpan {
    double left = 0;
    double right = 0;
    bool operator==(const TextSpan&) const = default;
};

std::vector<TextSpan> ChangedSpans(std::u16string_view before,
                                   const std::vector<double>& beforeEdges,
                                   std::u16string_view after,
                                   const std::vector<double>& afterEdges);
