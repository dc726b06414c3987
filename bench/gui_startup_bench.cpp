// Start-up of the window to its first paint, and the peak memory of that
// run, next to an empty Qt Widgets window measured in the same run, with the
// limits the window has to keep. Each run is a fresh process on the
// offscreen platform.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct RunResult {
  double wall_ms = 0;
  double reported_ms = 0;
  long peak_rss_kb = 0;
  bool ok = false;
};

// Runs the program, reads its "startup_ms=N" line, and takes its peak RSS.
RunResult RunOnce(const std::vector<std::string>& args) {
  RunResult result;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    close(pipe_fds[0]);
    return result;
  }
  std::string output;
  char buffer[256];
  ssize_t n = 0;
  while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(n));
  close(pipe_fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  result.wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  result.peak_rss_kb = usage.ru_maxrss;
  const size_t at = output.find("startup_ms=");
  if (at != std::string::npos) result.reported_ms = std::stod(output.substr(at + 11));
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && at != std::string::npos;
  return result;
}

struct Totals {
  double first_paint_ms = 0;
  long peak_rss_kb = 0;
  int runs = 0;
  void Add(const RunResult& r) {
    first_paint_ms += r.reported_ms;
    peak_rss_kb = std::max(peak_rss_kb, r.peak_rss_kb);
    ++runs;
  }
  double MeanMs() const { return runs == 0 ? 0 : first_paint_ms / runs; }
};

const std::vector<std::string> kTavioArgs = {"--simulate", "BRENTA:160:0x0401", "--benchmark-startup"};

// Start-up pauses of the device link with the simulated unit (identification
// and readout), which no empty window has.
constexpr double kReadoutPausesMs = 60;
// How far the window may be from an empty one, measured in the same run.
constexpr double kAllowedFactor = 1.3;

// The window and an empty Qt window (and, for reference, that window with one
// label), started in turns so all see the same machine load. With
// TAVIO_STARTUP_BASELINE naming another build of tavio, that one runs in turn
// too, to show the gain.
void BM_StartupBesideEmptyWindow(benchmark::State& state) {
  const char* baseline_path = std::getenv("TAVIO_STARTUP_BASELINE");
  std::vector<std::string> tavio = {TAVIO_GUI_PATH};
  tavio.insert(tavio.end(), kTavioArgs.begin(), kTavioArgs.end());
  std::vector<std::string> baseline;
  if (baseline_path != nullptr && *baseline_path != '\0') {
    baseline = {baseline_path};
    baseline.insert(baseline.end(), kTavioArgs.begin(), kTavioArgs.end());
  }
  Totals empty, window, before, one_text;
  for (auto _ : state) {
    const RunResult e = RunOnce({TAVIO_EMPTY_WINDOW_PATH});
    const RunResult w = RunOnce(tavio);
    const RunResult t = RunOnce({TAVIO_EMPTY_WINDOW_PATH, "--one-text"});
    RunResult b;
    if (!baseline.empty()) b = RunOnce(baseline);
    if (!e.ok || !w.ok || !t.ok || (!baseline.empty() && !b.ok)) {
      state.SkipWithError("a program did not report its first paint");
      return;
    }
    state.SetIterationTime(w.wall_ms / 1000.0);
    empty.Add(e);
    window.Add(w);
    one_text.Add(t);
    if (!baseline.empty()) before.Add(b);
  }
  const double paint_limit = kAllowedFactor * (empty.MeanMs() + kReadoutPausesMs);
  const double rss_limit = kAllowedFactor * static_cast<double>(empty.peak_rss_kb);
  state.counters["empty_first_paint_ms"] = empty.MeanMs();
  state.counters["first_paint_ms"] = window.MeanMs();
  state.counters["first_paint_limit_ms"] = paint_limit;
  state.counters["empty_peak_rss_kb"] = static_cast<double>(empty.peak_rss_kb);
  state.counters["peak_rss_kb"] = static_cast<double>(window.peak_rss_kb);
  state.counters["peak_rss_limit_kb"] = rss_limit;
  state.counters["within_limits"] =
      window.MeanMs() <= paint_limit && static_cast<double>(window.peak_rss_kb) <= rss_limit ? 1 : 0;
  // For reference, outside the limits: the same empty window with one label.
  state.counters["one_text_first_paint_ms"] = one_text.MeanMs();
  state.counters["one_text_peak_rss_kb"] = static_cast<double>(one_text.peak_rss_kb);
  if (!baseline.empty()) {
    state.counters["baseline_first_paint_ms"] = before.MeanMs();
    state.counters["baseline_peak_rss_kb"] = static_cast<double>(before.peak_rss_kb);
  }
}

BENCHMARK(BM_StartupBesideEmptyWindow)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
