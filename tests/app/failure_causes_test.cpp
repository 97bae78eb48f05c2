// A failed update: the dialog says which step failed, the diagnostic channel
// names the cause in one line.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/app/updater_fixture.h"
#include "tests/support/diagnostic_capture.h"

namespace vx::testing {
namespace {

TEST(FailureCauseTest, EachPlantedFailureIsNamedInOneLine) {
  const struct {
    const char* what;
    void (*plant)(UpdaterMachine& m, emu::Bridge& bridge);
    std::string box;
    std::vector<std::string> causes;  // each among the lines, in this order
  } cases[] = {
      {"lock held by another process",
       [](UpdaterMachine& m, emu::Bridge&) { m.sim_.Mutexes().HoldByForeignOwner(u"[Device0000]"); },
       "ERROR: Erase chip failed. [10]",
       {"bridge lock: not obtained within 5000 ms; another program or thread is using the bridge"}},
      {"lock abandoned by another process",
       [](UpdaterMachine& m, emu::Bridge&) {  // between lifting the protection and the erase
         m.view_.onEvent = [&m](const std::string& event) {
           if (event != "status Erasing chip...") return;
           m.sim_.Mutexes().HoldByForeignOwner(u"[Device0000]");
           m.sim_.Mutexes().KillForeignOwner(u"[Device0000]");
         };
       },
       "ERROR: Erase chip failed. [10]",
       {"bridge lock: abandoned by an owner that ended while holding it; the bridge may be left mid-operation, so "
        "nothing was sent"}},
      {"check condition on chip erase",
       [](UpdaterMachine&, emu::Bridge& bridge) {
         bridge.Faults().OnSpiOpcode(0xC7, emu::Fault::Status(0x02, {0x04, 0x44, 0x00}));
       },
       "ERROR: Erase chip failed. [10]",
       {"SCSI E7 01 00 00 1B 7E 00 00 C7 00 00 00 00 00 00 00: check condition, sense key 4 (hardware error), "
        "ASC 44 ASCQ 00",
        "flash: erase chip stopped: ChipEraseFailed (-71)"}},
      {"busy chip",
       [](UpdaterMachine&, emu::Bridge& bridge) { bridge.Faults().OnSpiOpcode(0xC7, emu::Fault::StickBusy(), 1); },
       "ERROR: Erase chip failed. [10]",
       {"flash: busy wait ended: still busy after 600 s (status 01)",
        "flash: erase chip stopped: BusyWaitFailed (-67)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    UpdaterMachine m;
    emu::Bridge& bridge = m.OldBridge();
    m.WriteFirmware("fw.eep");
    ASSERT_TRUE(m.StartUp());
    const test::DiagnosticCapture diagnostics;
    c.plant(m, bridge);
    m.FireTimers();
    EXPECT_EQ(m.view_.LastBox(), c.box);
    auto from = diagnostics.causes.begin();
    for (const std::string& cause : c.causes) {
      from = std::find(from, diagnostics.causes.end(), cause);
      EXPECT_NE(from, diagnostics.causes.end()) << cause << "\n" << diagnostics.CauseText();
    }
  }
}

}  // namespace
}  // namespace vx::testing
