// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Start-up: times programs from exec to their top-level window being mapped on the X server
// and to its first frame being drawn, then reads their resident memory once they have settled.
// Everything is observed from outside (map notifications on the root window, the window's
// pixels, /proc), so the programs run unchanged.
//
// Usage: x10-startwatch RUNS PROGRAM BASELINE [REFERENCE...]. Runs alternate between the
// programs. PROGRAM is held to the 1.2x target against BASELINE; references are printed beside.
// Times are compared best against best: on a shared machine other work only ever adds to a
// start-up, so the fastest of several runs is the steadiest estimate of its own cost. Memory,
// which other work does not change, is compared by the median.

#include "bench/figures.h"

#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto settle = std::chrono::milliseconds(1500);
constexpr auto showLimit = std::chrono::seconds(20);
// A pixel inside the window's margin, where both the console and the baselines show only the
// window background.
constexpr std::int16_t probeX = 2, probeY = 2;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Run {
  double mappedMs = -1;
  double drawnMs = -1;
  double rssKb = 0;
  double hwmKb = 0;
};

// A /proc/PID/status field in kB.
double statusKb(pid_t pid, const char *field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0)
      return std::atof(line.c_str() + prefix.size());
  return 0;
}

// The next window mapped under the root, or nothing once the limit passes.
std::optional<xcb_window_t> awaitMap(xcb_connection_t *x) {
  const auto limit = Clock::now() + showLimit;
  while (Clock::now() < limit) {
    while (xcb_generic_event_t *event = xcb_poll_for_event(x)) {
      std::optional<xcb_window_t> mapped;
      if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
        mapped = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
      std::free(event);
      if (mapped)
        return mapped;
    }
    pollfd readable{xcb_get_file_descriptor(x), POLLIN, 0};
    ::poll(&readable, 1, 100);
  }
  return std::nullopt;
}

std::optional<std::uint32_t> probePixel(xcb_connection_t *x, xcb_window_t window) {
  xcb_get_image_reply_t *reply = xcb_get_image_reply(
      x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, probeX, probeY, 1, 1, ~0u), nullptr);
  if (!reply)
    return std::nullopt;
  std::uint32_t pixel = 0;
  std::memcpy(&pixel, xcb_get_image_data(reply),
              std::min<int>(4, xcb_get_image_data_length(reply)));
  std::free(reply);
  return pixel;
}

// Samples the probe pixel until the program has settled; the first frame was drawn when the
// pixel first took the value it settles on.
double awaitFirstFrame(xcb_connection_t *x, xcb_window_t window, Clock::time_point start) {
  std::vector<std::pair<double, std::optional<std::uint32_t>>> samples;
  const auto end = Clock::now() + settle;
  while (Clock::now() < end) {
    samples.emplace_back(msSince(start), probePixel(x, window));
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  const auto settled = samples.back().second;
  double drawn = -1;
  for (auto it = samples.rbegin(); it != samples.rend() && it->second == settled; ++it)
    drawn = it->first;
  return settled ? drawn : -1;
}

Run runOnce(xcb_connection_t *x, const char *program) {
  Run run;
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl(program, program, static_cast<char *>(nullptr));
    std::_Exit(127);
  }
  if (const auto window = awaitMap(x)) {
    run.mappedMs = msSince(start);
    run.drawnMs = awaitFirstFrame(x, *window, start);
    run.rssKb = statusKb(child, "VmRSS");
    run.hwmKb = statusKb(child, "VmHWM");
  }
  ::kill(child, SIGTERM);
  ::waitpid(child, nullptr, 0);
  return run;
}

struct Figures {
  const char *program;
  std::vector<double> mappedMs, drawnMs, rssKb, hwmKb;

  void add(const Run &run) {
    mappedMs.push_back(run.mappedMs);
    drawnMs.push_back(run.drawnMs);
    rssKb.push_back(run.rssKb);
    hwmKb.push_back(run.hwmKb);
  }
  void print() const {
    std::printf("%s: mapped %.1f ms (best %.1f), first frame %.1f ms (best %.1f, worst %.1f), "
                "VmRSS %.0f kB, "
                "VmHWM %.0f kB; medians of %zu runs\n",
                program, bench::median(mappedMs), bench::minimum(mappedMs), bench::median(drawnMs),
                bench::minimum(drawnMs), bench::quantile(drawnMs, 1), bench::median(rssKb),
                bench::median(hwmKb), drawnMs.size());
  }
};

using Statistic = double (*)(const std::vector<double> &);

void printRatio(const std::string &what, const char *unit, Statistic statistic,
                const std::vector<double> &program, const std::vector<double> &baseline,
                const std::string &against, bool targeted) {
  const double ratio = statistic(program) / statistic(baseline);
  const std::string name = "Start-up " + what + " vs " + against;
  const int decimals = std::strcmp(unit, "kB") == 0 ? 0 : 1;
  const std::string measured = bench::format(ratio, "x", 2) + " (" +
                               bench::format(statistic(program), unit, decimals) + " vs " +
                               bench::format(statistic(baseline), unit, decimals) + ")";
  if (targeted)
    bench::printFigure(name, measured, "<= 1.2x", ratio <= 1.2);
  else
    bench::printReference(name, measured);
}

void compare(const Figures &program, const Figures &baseline, bool targeted) {
  const std::string against = std::strrchr(baseline.program, '/')
                                  ? std::strrchr(baseline.program, '/') + 1
                                  : baseline.program;
  printRatio("time to window mapped (best)", "ms", bench::minimum, program.mappedMs,
             baseline.mappedMs, against, targeted);
  printRatio("time to first frame drawn (best)", "ms", bench::minimum, program.drawnMs,
             baseline.drawnMs, against, targeted);
  printRatio("resident memory (VmRSS)", "kB", bench::median, program.rssKb, baseline.rssKb, against,
             targeted);
  printRatio("peak resident memory (VmHWM)", "kB", bench::median, program.hwmKb, baseline.hwmKb,
             against, targeted);
}

} // namespace

int main(int argc, char *argv[]) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s RUNS PROGRAM BASELINE [REFERENCE...]\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  xcb_connection_t *x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "no X display: run under xvfb-run\n");
    return 1;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(x);

  std::vector<Figures> figures;
  for (int i = 2; i < argc; ++i) {
    figures.push_back({argv[i], {}, {}, {}, {}});
    runOnce(x, argv[i]); // untimed: warms the file system and font caches
  }
  for (int run = 0; run < runs; ++run)
    for (Figures &f : figures) {
      const Run r = runOnce(x, f.program);
      if (r.mappedMs < 0 || r.drawnMs < 0) {
        std::fprintf(stderr, "%s showed no window\n", f.program);
        return 1;
      }
      f.add(r);
    }
  for (const Figures &f : figures)
    f.print();
  for (std::size_t i = 1; i < figures.size(); ++i)
    compare(figures[0], figures[i], i == 1);
  xcb_disconnect(x);
  return 0;
}
