// Runs the real vx94c6-updater for tests: in a scratch folder with its output
// collected, on a pseudo-terminal, or with its trace going into a small pipe
// that the test reads at its own pace.
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
#include <iterator>
#include <string>
#include <vector>

namespace vx::testing {

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// A fresh folder, removed with its content at the end.
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
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const { return ReadFile(*this / name); }

 private:
  std::filesystem::path path_;
};

// Starts the program in dir: on a pseudo-terminal of 24 rows and `columns`
// columns whose other end goes to *terminal, or with standard input from
// /dev/null and its output into the files ".stdout" and ".stderr" there.
inline pid_t Start(const ScratchDir& dir, const std::vector<std::string>& args, int* terminal = nullptr,
                   unsigned short columns = 80, const std::string& program = VX_UPDATER_PATH) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const std::string out = dir / ".stdout", err = dir / ".stderr";
  winsize size{};
  size.ws_row = 24;
  size.ws_col = columns;
  const pid_t child = terminal != nullptr ? forkpty(terminal, nullptr, nullptr, &size) : fork();
  if (child != 0) return child;
  if (chdir((dir / "").c_str()) != 0) _exit(126);
  signal(SIGPIPE, SIG_DFL);  // as a shell starts it, whatever the test runner ignores
  alarm(120);                // a program that hangs ends, and its test fails
  if (terminal == nullptr) {
    const int streams[] = {open("/dev/null", O_RDONLY), open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
                           open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)};
    for (int fd = 0; fd < 3; ++fd) {
      if (streams[fd] < 0 || dup2(streams[fd], fd) < 0) _exit(126);
    }
  }
  execv(argv[0], argv.data());
  _exit(127);
}

inline int ExitCodeOf(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline ProgramResult RunUpdater(const ScratchDir& dir, const std::vector<std::string>& args,
                                const std::string& program = VX_UPDATER_PATH) {
  const int exitCode = ExitCodeOf(Start(dir, args, nullptr, 80, program));
  return {exitCode, dir.Read(".stdout"), dir.Read(".stderr")};
}

// Reads fd until `until` appears (with an empty `until`, to the end); false
// when the program stops writing first or hangs for a minute.
inline bool ReadUntil(int fd, std::string& seen, const std::string& until) {
  char chunk[512];
  while (until.empty() || seen.find(until) == std::string::npos) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 60000) != 1) return false;
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0) return until.empty();
    seen.append(chunk, static_cast<std::size_t>(n));
  }
  return true;
}

// Makes a pipe at path and opens its reading end before any writer exists,
// without waiting for one; -1 when it cannot. A program that ends before it
// opens the other end leaves the reader waiting in ReadUntil's time-out, not
// for ever.
inline int OpenPipeReader(const std::string& path) {
  if (mkfifo(path.c_str(), 0600) != 0) return -1;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// Runs the program on a pseudo-terminal and sends it `signal` once
// `interruptAt` has appeared there; out is everything it wrote.
inline ProgramResult InterruptOnTerminal(const ScratchDir& dir, const std::vector<std::string>& args,
                                         const std::string& interruptAt, int signal = SIGINT) {
  int terminal = -1;
  const pid_t child = Start(dir, args, &terminal);
  ProgramResult result;
  if (ReadUntil(terminal, result.out, interruptAt)) kill(child, signal);
  ReadUntil(terminal, result.out, "");
  close(terminal);
  result.exitCode = ExitCodeOf(child);
  return result;
}

// The program with its trace going into a pipe that holds little, so that it
// is at most a few lines ahead of the test: it stalls when the test stops
// reading.
class TracedRun {
 public:
  // False when the pipe could not be made. It is made small before the
  // program starts: once the program has written more than the small size,
  // the pipe can no longer shrink and the program would run far ahead.
  bool Start(const ScratchDir& dir, std::vector<std::string> args) {
    const std::string fifo = dir / "trace.fifo";
    trace_ = OpenPipeReader(fifo);
    if (trace_ < 0 || fcntl(trace_, F_SETPIPE_SZ, 4096) < 0) return false;
    args.push_back("--trace=" + fifo);
    child_ = testing::Start(dir, args);
    return true;
  }
  // Reads the trace until `line` has appeared; false when it never did.
  bool ReadUntil(const std::string& line) { return testing::ReadUntil(trace_, seen_, line); }
  void Signal(int signal) const { kill(child_, signal); }
  // The reader goes away: later trace lines have nowhere to go.
  void CloseTrace() {
    close(trace_);
    trace_ = -1;
  }
  // Reads the rest of the trace and waits for the end of the program.
  ProgramResult Finish(const ScratchDir& dir) {
    if (trace_ >= 0) {
      testing::ReadUntil(trace_, seen_, "");
      CloseTrace();
    }
    return {ExitCodeOf(child_), dir.Read(".stdout"), dir.Read(".stderr")};
  }
  pid_t Child() const { return child_; }

 private:
  pid_t child_ = -1;
  int trace_ = -1;
  std::string seen_;
};

// Runs the program with its trace going into a small pipe and sends it
// `signal` once `interruptAt` has appeared in the trace; false when it never
// did.
inline bool InterruptAtTraceLine(const ScratchDir& dir, std::vector<std::string> args, const std::string& interruptAt,
                                 ProgramResult& result, int signal = SIGINT) {
  TracedRun run;
  if (!run.Start(dir, std::move(args))) return false;
  const bool reached = run.ReadUntil(interruptAt);
  if (reached) run.Signal(signal);
  result = run.Finish(dir);
  return reached;
}

}  // namespace vx::testing
