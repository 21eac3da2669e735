#pragma once

#include <cstddef>
#include <vector>

// Calls onRun(first, count) for each run of consecutive values in an ascending list of
// cluster indices: freeing, marking and reporting go run by run rather than cluster by cluster.
template <typename OnRun> void ForEachRun(const std::vector<int>& ks, OnRun onRun) {
    for (std::size_t i = 0; i < ks.size();) {
        std::size_t j = i + 1;
        while (j < ks.size() && ks[j] == ks[j - 1] + 1)
            ++j;
        onRun(ks[i], static_cast<int>(j - i));
        i = j;
    }
}
