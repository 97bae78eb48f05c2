#include "platform/sim/sim_mutexes.h"

namespace vx::platform::sim {

SimMutexFaults SimMutexes::FaultsFor(std::u16string_view name) const {
  SimMutexFaults combined;
  for (const std::u16string_view key : {name, std::u16string_view()}) {
    const auto found = faults_.find(key);
    if (found == faults_.end()) continue;
    combined.open |= found->second.open;
    combined.create |= found->second.create;
    combined.wait |= found->second.wait;
  }
  return combined;
}

SimMutexes::Object* SimMutexes::Find(std::u16string_view name) {
  const auto found = objects_.find(name);
  return found == objects_.end() ? nullptr : &found->second;
}

const SimMutexes::Object* SimMutexes::Find(std::u16string_view name) const {
  const auto found = objects_.find(name);
  return found == objects_.end() ? nullptr : &found->second;
}

MutexHandle SimMutexes::NewHandle(const std::u16string& name) {
  ++objects_[name].handles;
  return handles_.Open(name);
}

void SimMutexes::SettleForeignRelease(Object& object) {
  if (object.owner == Owner::Foreign && object.foreignReleaseAt && clock_.NowMs() >= *object.foreignReleaseAt) {
    object.owner = Owner::None;
    object.foreignReleaseAt.reset();
  }
}

void SimMutexes::DropIfUnused(const std::u16string& name) {
  const auto found = objects_.find(name);
  if (found != objects_.end() && found->second.handles == 0 && !found->second.foreignHandle) objects_.erase(found);
}

MutexHandle SimMutexes::Open(std::u16string_view name) {
  std::lock_guard guard(lock_);
  if (name.empty() || FaultsFor(name).open || Find(name) == nullptr) return MutexHandle::None;
  return NewHandle(std::u16string(name));
}

MutexHandle SimMutexes::Create(std::u16string_view name) {
  std::lock_guard guard(lock_);
  if (name.empty() || FaultsFor(name).create) return MutexHandle::None;
  return NewHandle(std::u16string(name));
}

WaitResult SimMutexes::Wait(MutexHandle mutex, std::uint32_t timeoutMs) {
  std::unique_lock guard(lock_);
  const auto handleName = handles_.Find(mutex);  // a copy: the handle may be closed while this thread waits
  if (!handleName) return WaitResult::Failed;
  const std::u16string& name = *handleName;
  ++waitCounts_[name];
  if (FaultsFor(name).wait) return WaitResult::Failed;
  const bool infinite = timeoutMs == kWaitInfinite;
  const std::uint64_t deadline = clock_.NowMs() + timeoutMs;
  const auto self = std::this_thread::get_id();
  for (;;) {
    Object* object = Find(name);
    if (object == nullptr) return WaitResult::Failed;
    SettleForeignRelease(*object);
    switch (object->owner) {
      case Owner::None: {
        object->owner = Owner::Thread;
        object->ownerThread = self;
        object->recursion = 1;
        const bool abandoned = object->abandoned;
        object->abandoned = false;
        return abandoned ? WaitResult::Abandoned : WaitResult::Signaled;
      }
      case Owner::Thread:
        if (object->ownerThread == self) {
          ++object->recursion;
          return WaitResult::Signaled;
        }
        if (timeoutMs == 0) return WaitResult::TimedOut;
        // Another real thread holds it: wait for it for real, then judge the
        // time-out by the virtual time that passed meanwhile.
        released_.wait(guard);
        if (!infinite && clock_.NowMs() > deadline) return WaitResult::TimedOut;
        break;
      case Owner::Foreign: {
        const std::uint64_t now = clock_.NowMs();
        if (object->foreignReleaseAt && (infinite || *object->foreignReleaseAt <= deadline)) {
          clock_.Advance(*object->foreignReleaseAt - now);
          break;
        }
        // An endless wait on an owner that never gives the mutex back would
        // hang for ever; report it as failed instead.
        if (infinite) return WaitResult::Failed;
        if (deadline > now) clock_.Advance(deadline - now);
        return WaitResult::TimedOut;
      }
    }
  }
}

bool SimMutexes::Release(MutexHandle mutex) {
  std::lock_guard guard(lock_);
  const auto name = handles_.Find(mutex);
  Object* object = name ? Find(*name) : nullptr;
  if (object == nullptr || object->owner != Owner::Thread || object->ownerThread != std::this_thread::get_id()) {
    ++failedReleases_;
    return false;
  }
  if (--object->recursion == 0) {
    object->owner = Owner::None;
    released_.notify_all();
  }
  return true;
}

bool SimMutexes::Close(MutexHandle mutex) {
  std::lock_guard guard(lock_);
  const auto name = handles_.Find(mutex);
  if (!name || !handles_.Close(mutex)) return false;
  --Find(*name)->handles;
  DropIfUnused(*name);
  return true;
}

bool SimMutexes::HoldByForeignOwner(std::u16string_view name, std::optional<std::uint64_t> releaseAfterMs) {
  std::lock_guard guard(lock_);
  Object& object = objects_[std::u16string(name)];
  SettleForeignRelease(object);
  if (object.owner == Owner::Thread) return false;
  object.foreignHandle = true;
  object.owner = Owner::Foreign;
  object.abandoned = false;
  object.foreignReleaseAt.reset();
  if (releaseAfterMs) object.foreignReleaseAt = clock_.NowMs() + *releaseAfterMs;
  return true;
}

void SimMutexes::ReleaseByForeignOwner(std::u16string_view name) {
  std::lock_guard guard(lock_);
  Object* object = Find(name);
  if (object == nullptr || object->owner != Owner::Foreign) return;
  object->owner = Owner::None;
  object->foreignReleaseAt.reset();
  released_.notify_all();
}

void SimMutexes::KillForeignOwner(std::u16string_view name) {
  std::lock_guard guard(lock_);
  Object* object = Find(name);
  if (object == nullptr) return;
  SettleForeignRelease(*object);
  if (object->owner == Owner::Foreign) {
    object->owner = Owner::None;
    object->abandoned = true;
    object->foreignReleaseAt.reset();
  }
  object->foreignHandle = false;
  DropIfUnused(std::u16string(name));
  released_.notify_all();
}

void SimMutexes::SetFaults(std::u16string_view name, const SimMutexFaults& faults) {
  std::lock_guard guard(lock_);
  faults_[std::u16string(name)] = faults;
}

bool SimMutexes::Exists(std::u16string_view name) const {
  std::lock_guard guard(lock_);
  return Find(name) != nullptr;
}

bool SimMutexes::IsOwned(std::u16string_view name) const {
  std::lock_guard guard(lock_);
  const Object* object = Find(name);
  if (object == nullptr || object->owner == Owner::None) return false;
  return !(object->owner == Owner::Foreign && object->foreignReleaseAt && clock_.NowMs() >= *object->foreignReleaseAt);
}

std::size_t SimMutexes::OpenHandles() const { return handles_.OpenCount(); }

int SimMutexes::WaitCount(std::u16string_view name) const {
  std::lock_guard guard(lock_);
  const auto found = waitCounts_.find(name);
  return found == waitCounts_.end() ? 0 : found->second;
}

int SimMutexes::FailedReleases() const {
  std::lock_guard guard(lock_);
  return failedReleases_;
}

}  // namespace vx::platform::sim
