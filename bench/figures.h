// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// How the benchmark programs report: one tab-separated FIGURE line per measured figure, which
// scripts/bench.sh gathers into its summary table, plus the order statistics they are taken from.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// The value at fraction q (0..1) of the sorted samples, nearest rank.
inline double quantile(std::vector<double> samples, double q) {
  if (samples.empty())
    return NAN;
  std::sort(samples.begin(), samples.end());
  const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(samples.size())));
  return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

inline double median(const std::vector<double> &samples) { return quantile(samples, 0.5); }
inline double minimum(const std::vector<double> &samples) { return quantile(samples, 0); }

inline void printFigure(const std::string &name, const std::string &measured,
                        const std::string &target, bool met) {
  std::printf("FIGURE\t%s\t%s\t%s\t%s\n", name.c_str(), measured.c_str(), target.c_str(),
              met ? "pass" : "FAIL");
  std::fflush(stdout);
}

// A figure printed beside the targeted ones, with no target of its own.
inline void printReference(const std::string &name, const std::string &measured) {
  std::printf("FIGURE\t%s\t%s\t(reference)\t-\n", name.c_str(), measured.c_str());
  std::fflush(stdout);
}

inline std::string format(double value, const char *unit, int decimals = 2) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
  return text;
}

} // namespace bench
