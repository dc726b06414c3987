// Start-up of the window to its first paint, and the peak memory of that
// run, next to an empty Qt Widgets window measured in the same run. Each
// iteration starts a fresh process on the offscreen platform.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
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

void RunStartup(benchmark::State& state, const std::vector<std::string>& args) {
  double reported = 0;
  long peak = 0;
  for (auto _ : state) {
    const RunResult r = RunOnce(args);
    if (!r.ok) {
      state.SkipWithError("the program did not report its first paint");
      return;
    }
    state.SetIterationTime(r.wall_ms / 1000.0);
    reported += r.reported_ms;
    peak = std::max(peak, r.peak_rss_kb);
  }
  state.counters["first_paint_ms"] = reported / static_cast<double>(state.iterations());
  state.counters["peak_rss_kb"] = static_cast<double>(peak);
}

void BM_TavioStartup(benchmark::State& state) {
  RunStartup(state, {TAVIO_GUI_PATH, "--simulate", "BRENTA:160:0x0401", "--benchmark-startup"});
}
void BM_EmptyQtWindowStartup(benchmark::State& state) { RunStartup(state, {TAVIO_EMPTY_WINDOW_PATH}); }

BENCHMARK(BM_EmptyQtWindowStartup)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TavioStartup)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
