#pragma once

// Paired timings: the gallery's path and the bare engine's, taken in turns so
// that load on the machine hits both alike; the medians and their ratio are
// printed at the end.

#include <algorithm>
#include <cstdio>
#include <vector>

struct PairedTimings
{
    std::vector<double> gallery;
    std::vector<double> plain;

    static double median(std::vector<double> values)
    {
        if (values.empty())
            return 0;
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

    // `first` names the `gallery` timings, `second` the `plain` ones.
    void print(const char* what, const char* first = "gallery",
               const char* second = "bare engine") const
    {
        const double g = median(gallery);
        const double p = median(plain);
        std::printf("%s: %s median %.1f ms, %s median %.1f ms, ratio %.3f (%zu pairs)\n", what,
                    first, g, second, p, p > 0 ? g / p : 0.0, gallery.size());
    }
};
