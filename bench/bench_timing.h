// How every benchmark times a figure. The program's path and its reference
// run in turn, program then reference, kPairs times, after one pair that
// is not counted (it brings the files into the page cache and the code into
// memory). A figure is the median of the pairs' ratios. Both sides run in
// this process or in children of it, one right after the other, so a load
// that comes and goes on the machine slows both sides of a pair alike, and
// a pair that it strikes unevenly falls outside the median instead of
// moving it.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace kelvarin::bench {

using Clock = std::chrono::steady_clock;

inline constexpr int kPairs = 5;

inline double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}
inline double SecondsSince(Clock::time_point a) { return Seconds(a, Clock::now()); }

// The wall seconds of a shell command; negative when it does not exit 0.
inline double TimeCommand(const std::string& command) {
  const auto t0 = Clock::now();
  const int rc = std::system(command.c_str());
  const double s = SecondsSince(t0);
  return rc != -1 && WIFEXITED(rc) && WEXITSTATUS(rc) == 0 ? s : -1;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t mid = v.size() / 2;
  return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

// The processor seconds this process and its waited-for children have used.
inline double CpuSeconds() {
  double s = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    s += static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  }
  return s;
}

struct PairTimes {
  std::vector<double> program, reference, ratio;
  // Each side's processor time as a whole (its set-up included): shown
  // beside the figure, as a check that load did not bend it.
  std::vector<double> cpuRatio;
};

// Times program and reference in interleaved pairs as above. Each side
// does its work and gives the seconds it measured, or a negative number
// when the work failed; then this stops and gives false. A side that must
// undo its last run first (a file it wrote, a word it replaced) does that
// before it starts its clock.
inline bool TimePairs(const std::function<double()>& program, const std::function<double()>& reference,
                      PairTimes* out, int pairs = kPairs) {
  *out = {};
  for (int i = 0; i <= pairs; ++i) {
    const double c0 = CpuSeconds();
    const double p = program();
    const double c1 = CpuSeconds();
    if (p < 0) return false;
    const double r = reference();
    const double c2 = CpuSeconds();
    if (r <= 0) return false;
    if (i == 0) continue;
    out->program.push_back(p);
    out->reference.push_back(r);
    out->ratio.push_back(p / r);
    if (c2 > c1) out->cpuRatio.push_back((c1 - c0) / (c2 - c1));
  }
  return true;
}

// "figure NAME VALUE target TARGET" on stdout.
inline void PrintFigure(const char* name, double value, double target) {
  std::printf("figure %s %.4g target %g\n", name, value, target);
  std::fflush(stdout);
}

// The figure of timed pairs, and on stderr what it stands on: the median
// seconds of each side, the spread of the pairs' ratios and the median
// ratio of processor times.
inline void PrintFigure(const char* name, const PairTimes& t, double target) {
  const auto [low, high] = std::minmax_element(t.ratio.begin(), t.ratio.end());
  std::fprintf(stderr,
               "%s: program %.4f s, reference %.4f s (medians of %zu pairs), ratios %.4g to %.4g, "
               "processor time %.4g\n",
               name, Median(t.program), Median(t.reference), t.ratio.size(), *low, *high, Median(t.cpuRatio));
  PrintFigure(name, Median(t.ratio), target);
}

// The peak resident memory of this process image, in KiB; -1 when unknown.
inline long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

}  // namespace kelvarin::bench
