#include "TextChangeSpans.h"

#include <algorithm>

std::vector<TextSpan> ChangedSpans(std::u16string_view before,
                                   const std::vector<double>& beforeEdges,
                                   std::u16string_view after,
                                   const std::vector<double>& afterEdges) {
    std::vector<TextSpan> spans;
    if (beforeEdges.size() != before.size() + 1 || afterEdges.size() != after.size() + 1) {
        return {{0, std::max(beforeEdges.empty() ? 0.0 : beforeEdges.back(),
                             afterEdges.empty() ? 0.0 : afterEdges.back())}};
    }
    // A character looks the same where it is the same and starts at the same place; a run of
    // others changed. A different length or a shifted tail changes everything to the end.
    const std::size_t common = std::min(before.size(), after.size());
    bool inRun = false;
    double runStart = 0;
    for (std::size_t i = 0; i < common; ++i) {
        const bool same = before[i] == after[i] && beforeEdges[i] == afterEdges[i];
        if (!same && !inRun) {
            inRun = true;
            runStart = std::min(beforeEdges[i], afterEdges[i]);
        } else if (same && inRun) {
            spans.push_back({runStart, afterEdges[i]});
            inRun = false;
        }
    }
    const bool tailDiffers =
        before.size() != after.size() || beforeEdges[common] != afterEdges[common];
    if (inRun || tailDiffers) {
        const double left = inRun ? runStart : std::min(beforeEdges[common], afterEdges[common]);
        const double right = std::max(beforeEdges.back(), afterEdges.back());
        if (right > left) {
            spans.push_back({left, right});
        }
    }
    return spans;
}
