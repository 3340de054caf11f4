#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace lumora::bench {

// The value below which the given fraction of the samples lie (0.5 the median, 1.0 the maximum),
// taken as the nearest sample; 0 for no samples.
inline double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto index =
        static_cast<std::size_t>(std::lround(fraction * static_cast<double>(values.size() - 1)));
    return values[index];
}

} // namespace lumora::bench
