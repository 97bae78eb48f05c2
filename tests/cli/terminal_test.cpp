// The update on a terminal: the summary before the question, a progress bar
// that fits the terminal's width and follows a resize, and each finished
// step kept on a line of its own.
#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include <regex>

#include "tests/support/program_run.h"
#include "tests/cli/terminal_screen.h"

namespace vx::testing {
namespace {

const std::string kExampleConfig = std::string(VX_SOURCE_DIR) + "/examples/Config.ini";
const std::vector<std::string> kStepsAndEnd = {
    "Done: write protection lifted.",         "Done: chip erased.",
    "Done: configuration and code written.",  "Done: configuration and code verified.",
    "Done: disk image written.",              "Done: disk image verified.",
    "Done: write protection restored.",       "Message: Success!!"};

// Every frame of the bar: the text between a "\r" and the erase to the end
// of the line that closes it.
std::vector<std::string> BarFrames(const std::string& out) {
  std::vector<std::string> frames;
  static const std::regex kFrame("\r([^\r\n\033]+)\033\\[K");
  for (std::sregex_iterator it(out.begin(), out.end(), kFrame), end; it != end; ++it) frames.push_back((*it)[1]);
  return frames;
}

void ExpectInOrder(const std::string& text, const std::vector<std::string>& parts) {
  std::size_t at = 0;
  for (const std::string& part : parts) {
    at = text.find(part, at);
    ASSERT_NE(at, std::string::npos) << part << "\n" << text;
  }
}

// Reads what fd has next, waiting a minute at most; false at its end.
bool ReadMore(int fd, std::string& seen) {
  pollfd ready{fd, POLLIN, 0};
  char chunk[512];
  if (poll(&ready, 1, 60000) != 1) return false;
  const ssize_t n = read(fd, chunk, sizeof chunk);
  if (n > 0) seen.append(chunk, static_cast<std::size_t>(n));
  return n > 0;
}

// The rows after `from`, up to the last one that is not empty.
std::vector<std::string> RowsAfter(const std::vector<std::string>& rows, const std::string& from) {
  auto first = std::find(rows.begin(), rows.end(), from);
  auto last = rows.end();
  while (last != rows.begin() && (last - 1)->empty()) --last;
  return first < last ? std::vector<std::string>(first + 1, last) : std::vector<std::string>{};
}

TEST(TerminalTest, BarFitsTheWidthAndEveryFinishedStepStaysOnScreen) {
  for (const unsigned short columns : {60, 80, 132}) {
    SCOPED_TRACE(columns);
    const ScratchDir dir;
    int terminal = -1;
    const pid_t child = Start(dir, {"--simulate", "--yes", "--config", kExampleConfig}, &terminal, columns);
    std::string out;
    ReadUntil(terminal, out, "");
    close(terminal);
    ASSERT_EQ(ExitCodeOf(child), 0) << out;

    const std::vector<std::string> frames = BarFrames(out);
    EXPECT_GT(frames.size(), 10u);
    for (const std::string& frame : frames) EXPECT_LT(frame.size(), columns) << frame;
    TerminalScreen screen(columns);
    screen.Feed(out);
    // Nothing of the bar is left between the steps.
    EXPECT_EQ(RowsAfter(screen.Rows(), "Status: Updating now, please don't remove device!"), kStepsAndEnd) << out;
  }
}

// Reads the terminal and the trace as they come until `until` appears on the
// terminal; false when the program ends or hangs first.
bool ReadBothUntil(int terminal, std::string& out, int trace, std::string& traced, const std::string& until) {
  char chunk[4096];
  while (out.find(until) == std::string::npos) {
    pollfd ready[] = {{terminal, POLLIN, 0}, {trace, POLLIN, 0}};
    if (poll(ready, 2, 60000) < 1) return false;
    for (int i = 0; i < 2; ++i) {
      if ((ready[i].revents & (POLLIN | POLLHUP)) == 0) continue;
      const ssize_t n = read(ready[i].fd, chunk, sizeof chunk);
      if (n <= 0) return false;
      (i == 0 ? out : traced).append(chunk, static_cast<std::size_t>(n));
    }
  }
  return true;
}

TEST(TerminalTest, BarIsRedrawnForANewWidthWhileTheUpdateRuns) {
  const ScratchDir dir;
  const std::string fifo = dir / "trace.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int terminal = -1;
  const pid_t child = Start(dir, {"--simulate", "--config", kExampleConfig, "--trace=" + fifo}, &terminal, 100);
  const int trace = open(fifo.c_str(), O_RDONLY);
  std::string out, traced;
  // While the program asks, its trace is drained and the pipe made small, so
  // that the update will stop at a full pipe a few requests after a given one.
  ASSERT_TRUE(ReadBothUntil(terminal, out, trace, traced, "Continue? [y/N] "));
  ASSERT_EQ(fcntl(trace, F_SETFL, O_NONBLOCK), 0);
  for (char chunk[4096]; read(trace, chunk, sizeof chunk) > 0;) {
  }
  ASSERT_EQ(fcntl(trace, F_SETFL, 0), 0);
  ASSERT_EQ(fcntl(trace, F_SETPIPE_SZ, 4096), 4096);
  ASSERT_EQ(write(terminal, "y\n", 2), 2);
  // The first write enable of the update: the bar stands on the screen. The
  // update then stops at the full pipe, while the program goes on; once the
  // pipe stays as it is, nothing but the program's main thread can redraw.
  ASSERT_TRUE(ReadUntil(trace, traced, "SCSI out 0 E7 01 00 00 1B 7E 00 00 06"));
  for (int queued = -1, before = -2, tries = 0; queued != before && tries < 100; ++tries) {
    before = queued;
    usleep(20000);
    ASSERT_EQ(ioctl(trace, FIONREAD, &queued), 0);
  }
  ASSERT_TRUE(ReadUntil(terminal, out, "\r["));

  winsize narrow{};
  narrow.ws_row = 24;
  narrow.ws_col = 40;
  ASSERT_EQ(ioctl(terminal, TIOCSWINSZ, &narrow), 0);
  // A bar of 10 cells, the width for 40 columns (100 give it 40).
  static const std::regex kNarrowBar("\r\\[[#-]{10}\\][^\r\033]*\033\\[K");
  std::smatch narrowBar;
  while (!std::regex_search(out, narrowBar, kNarrowBar)) ASSERT_TRUE(ReadMore(terminal, out)) << out;
  const std::size_t redrawn = static_cast<std::size_t>(narrowBar.position(0));

  ReadUntil(trace, traced, "");
  close(trace);
  ReadUntil(terminal, out, "");
  close(terminal);
  EXPECT_EQ(ExitCodeOf(child), 0) << out;
  const std::vector<std::string> frames = BarFrames(out.substr(redrawn));
  EXPECT_GT(frames.size(), 5u);
  for (const std::string& frame : frames) EXPECT_LT(frame.size(), 40u) << frame;
}

TEST(TerminalTest, SummaryComesBeforeTheQuestionAndNoChangesNothing) {
  const ScratchDir dir;
  int terminal = -1;
  const pid_t child = Start(dir, {"--simulate", "--config", kExampleConfig}, &terminal);
  std::string out;
  ASSERT_TRUE(ReadUntil(terminal, out, "Continue? [y/N] "));
  ASSERT_EQ(write(terminal, "n\n", 2), 2);
  ReadUntil(terminal, out, "");
  close(terminal);
  EXPECT_EQ(ExitCodeOf(child), 7);
  ExpectInOrder(out, {"Settings file: " + kExampleConfig,
                      "About to update:",
                      "  Bridge:           slot 0, USB device USB\\VID_1B7E&PID_94C6\\VX0001",
                      "  Disk path:        \\\\?\\usbstor#disk&ven_tarvenix&prod_vx94c6",
                      "  WinUSB path:      \\\\?\\usb#vid_1b7e&pid_94c6&mi_01#",
                      "  Flash chip:       row 47, ID EF3013, page 256 bytes",
                      "  Firmware version: 01000005, compared as \"0100\" (CMPLEN 4) with CMPSTR \"0100\"",
                      "  Code checksum:    0000 on the bridge, not compared (CHECKSUM 0)",
                      "  Firmware file:    " + std::string(VX_SOURCE_DIR) + "/examples/VX94C6_example.eep",
                      "code 6144 bytes with checksum F400, disk image 4096 bytes",
                      "  Emulated bridge:  yes (--simulate)",
                      "Warning: Please do not power down or un-plug the device when updating the FW.",
                      "Continue? [y/N] ",
                      "Not confirmed: nothing was changed."});
  EXPECT_EQ(out.find("Erasing"), std::string::npos);
}

}  // namespace
}  // namespace vx::testing
