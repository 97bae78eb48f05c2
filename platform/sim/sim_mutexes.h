// Named mutexes of the simulated machine. They behave like Windows mutexes
// for the threads of this process (recursive for their owner thread; a real
// thread waits while another real thread owns one), and a test can stand in
// for another process: a pretend foreign owner that holds a mutex, gives it
// back, or dies holding it. Waiting on a foreign owner takes no real time: the
// virtual clock moves on by the time the wait would last.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "emulator/virtual_clock.h"
#include "platform/mutex_api.h"
#include "platform/sim/sim_handle_table.h"

namespace vx::platform::sim {

// Calls that fail on demand for a mutex name.
struct SimMutexFaults {
  bool open = false;
  bool create = false;
  bool wait = false;
};

class SimMutexes : public MutexApi {
 public:
  explicit SimMutexes(emu::VirtualClock& clock) : clock_(clock) {}

  MutexHandle Open(std::u16string_view name) override;
  MutexHandle Create(std::u16string_view name) override;
  WaitResult Wait(MutexHandle mutex, std::uint32_t timeoutMs) override;
  bool Release(MutexHandle mutex) override;
  bool Close(MutexHandle mutex) override;

  // A pretend owner in another process takes the mutex (creating it when
  // needed) and keeps a handle to it. It holds the mutex until released or
  // killed, or, with releaseAfterMs, until that much virtual time has passed.
  // False when a thread of this process owns the mutex.
  bool HoldByForeignOwner(std::u16string_view name, std::optional<std::uint64_t> releaseAfterMs = std::nullopt);
  void ReleaseByForeignOwner(std::u16string_view name);
  // The foreign owner ends without releasing: the next wait reports the
  // mutex abandoned and takes it. Its handle goes away with it.
  void KillForeignOwner(std::u16string_view name);
  // Faults for one name, or for every name when name is empty.
  void SetFaults(std::u16string_view name, const SimMutexFaults& faults);

  bool Exists(std::u16string_view name) const;
  bool IsOwned(std::u16string_view name) const;  // by any thread or the foreign owner
  std::size_t OpenHandles() const;               // handles of this process, all names
  int WaitCount(std::u16string_view name) const;  // Wait calls on that name so far
  int FailedReleases() const;                     // Release calls that did not release

 private:
  enum class Owner { None, Thread, Foreign };
  struct Object {
    int handles = 0;
    bool foreignHandle = false;
    Owner owner = Owner::None;
    std::thread::id ownerThread;
    std::uint32_t recursion = 0;
    bool abandoned = false;
    std::optional<std::uint64_t> foreignReleaseAt;  // virtual time
  };

  SimMutexFaults FaultsFor(std::u16string_view name) const;
  MutexHandle NewHandle(const std::u16string& name);
  Object* Find(std::u16string_view name);
  const Object* Find(std::u16string_view name) const;
  void SettleForeignRelease(Object& object);
  void DropIfUnused(const std::u16string& name);

  emu::VirtualClock& clock_;
  mutable std::mutex lock_;  // guards everything below
  std::condition_variable released_;
  std::map<std::u16string, Object, std::less<>> objects_;
  SimHandleTable<MutexHandle, std::u16string> handles_{0};  // the name each handle opens
  std::map<std::u16string, SimMutexFaults, std::less<>> faults_;
  std::map<std::u16string, int, std::less<>> waitCounts_;  // kept after the mutex is gone
  int failedReleases_ = 0;
};

}  // namespace vx::platform::sim
