// The bridge lock over the simulated mutexes: it holds the mutex only after
// a signalled wait and gives it back exactly once on every way out.
#include <gtest/gtest.h>

#include <stdexcept>

#include "bridge/bridge_lock.h"
#include "platform/sim/sim_platform.h"

namespace vx {
namespace {

using platform::MutexHandle;
using platform::sim::SimMutexes;

constexpr std::u16string_view kSlot = u"[Device0000]";

TEST(BridgeLock, HeldOnlyAfterASignalledWaitAndReleasedOnEveryWayOut) {
  struct Case {
    const char* what;
    void (*arrange)(SimMutexes&);
    bool held;
    std::uint64_t waitedMs;
    bool otherKeepsIt;
  };
  const Case cases[] = {
      {"free", [](SimMutexes&) {}, true, 0, false},
      {"held past the limit", [](SimMutexes& m) { m.HoldByForeignOwner(kSlot); }, false, 5000, true},
      {"given back at the limit", [](SimMutexes& m) { m.HoldByForeignOwner(kSlot, 5000); }, true,
       5000, false},
      {"abandoned", [](SimMutexes& m) { m.HoldByForeignOwner(kSlot); m.KillForeignOwner(kSlot); }, false, 0, false},
      {"wait fails", [](SimMutexes& m) { m.SetFaults(kSlot, {.wait = true}); }, false, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::sim::SimPlatform sim;
    platform::ScopedPlatform scoped(sim.Apis());
    SimMutexes& mutexes = sim.Mutexes();
    const MutexHandle mutex = mutexes.Create(kSlot);
    c.arrange(mutexes);
    {
      BridgeLock lock(mutex);
      EXPECT_EQ(lock.Held(), c.held);
    }
    EXPECT_EQ(mutexes.IsOwned(kSlot), c.otherKeepsIt);
    EXPECT_EQ(mutexes.WaitCount(kSlot), 1);
    mutexes.SetFaults(kSlot, {});
    if (!c.otherKeepsIt) {  // later operations get it at once and give it back, even when they throw
      EXPECT_THROW(BridgeLock lock(mutex); throw std::runtime_error("step failed"), std::runtime_error);
      EXPECT_FALSE(mutexes.IsOwned(kSlot));
      BridgeLock next(mutex);
      EXPECT_TRUE(next.Held());
    }
    EXPECT_EQ(sim.Clock().NowMs(), c.waitedMs);
    EXPECT_EQ(mutexes.FailedReleases(), 0);
  }
  BridgeLock none(MutexHandle::None);
  EXPECT_FALSE(none.Held());
}

}  // namespace
}  // namespace vx
