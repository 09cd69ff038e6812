#pragma once

#include <string>
#include <vector>

namespace testing_support {

// True when `expected` occurs in `trace` in this order, other entries allowed in between.
inline bool inOrder(const std::vector<std::string>& trace, const std::vector<std::string>& expected) {
    std::size_t i = 0;
    for (const auto& entry : trace) {
        if (i < expected.size() && entry == expected[i]) {
            ++i;
        }
    }
    return i == expected.size();
}

inline int countOf(const std::vector<std::string>& trace, const std::string& entry) {
    int n = 0;
    for (const auto& e : trace) {
        n += e == entry;
    }
    return n;
}

}  // namespace testing_support
