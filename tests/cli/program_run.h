// Runs the real vx94c6-updater for tests: in a scratch folder, with its
// output collected, and (for the interrupt tests) on a pseudo-terminal or
// with its trace going into a pipe the test reads at its own pace.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vx::testing {

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Output that does not come within this long means the program hangs; the
// test then fails instead of waiting for ever.
inline constexpr int kHangMs = 60000;

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-cli-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream file(path_ / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }

 private:
  std::filesystem::path path_;
};

inline std::vector<char*> Argv(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(VX_UPDATER_PATH));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

inline int ExitCodeOf(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Starts the program in dir with stdin from /dev/null and its output going
// to the files that Collect reads.
inline pid_t Spawn(const ScratchDir& dir, const std::vector<std::string>& args) {
  const std::string outPath = dir / ".stdout";
  const std::string errPath = dir / ".stderr";
  std::vector<char*> argv = Argv(args);
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(dir.Path().c_str()) != 0) _exit(126);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// Waits for the program's end and collects what it wrote.
inline ProgramResult Collect(const ScratchDir& dir, pid_t child) {
  ProgramResult result;
  result.exitCode = ExitCodeOf(child);
  result.out = dir.Read(".stdout");
  result.err = dir.Read(".stderr");
  return result;
}

inline ProgramResult RunUpdater(const ScratchDir& dir, const std::vector<std::string>& args) {
  return Collect(dir, Spawn(dir, args));
}

// Reads what fd delivers until `until` appears in it (or, with an empty
// `until`, until the end); false when the program stops writing first.
inline bool ReadUntil(int fd, std::string& seen, const std::string& until) {
  char chunk[512];
  while (until.empty() || seen.find(until) == std::string::npos) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, kHangMs) != 1) return false;
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0) return until.empty();
    seen.append(chunk, static_cast<std::size_t>(n));
  }
  return true;
}

// Runs the program in dir on a pseudo-terminal (standard input and output),
// interrupts it once `interruptAt` has appeared on the terminal, and returns
// everything it wrote.
inline ProgramResult InterruptOnTerminal(const ScratchDir& dir, const std::vector<std::string>& args,
                                         const std::string& interruptAt) {
  std::vector<char*> argv = Argv(args);
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    if (chdir(dir.Path().c_str()) != 0) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ProgramResult result;
  if (child < 0) return result;
  if (ReadUntil(terminal, result.out, interruptAt)) kill(child, SIGINT);
  ReadUntil(terminal, result.out, "");
  close(terminal);
  result.exitCode = ExitCodeOf(child);
  return result;
}

// Runs the program in dir with --trace into a pipe that holds little, reads
// the trace and interrupts the program once `interruptAt` has appeared in it.
struct TracedRun {
  ProgramResult program;
  std::string trace;
  bool interrupted = false;
};

inline TracedRun InterruptAtTraceLine(const ScratchDir& dir, std::vector<std::string> args,
                                      const std::string& interruptAt) {
  const std::string fifo = dir / "trace.fifo";
  TracedRun run;
  if (mkfifo(fifo.c_str(), 0600) != 0) return run;
  args.push_back("--trace=" + fifo);
  const pid_t child = Spawn(dir, args);
  const int trace = open(fifo.c_str(), O_RDONLY);
  // A small pipe keeps the program at most a few lines ahead of the reader.
  fcntl(trace, F_SETPIPE_SZ, 4096);
  run.interrupted = ReadUntil(trace, run.trace, interruptAt);
  if (run.interrupted) kill(child, SIGINT);
  ReadUntil(trace, run.trace, "");
  close(trace);
  run.program = Collect(dir, child);
  return run;
}

}  // namespace vx::testing
