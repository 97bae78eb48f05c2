// The open handles of one platform area: what each refers to, and how many
// are still open, so that tests can check that everything opened was closed.
// Thread-safe; handle values are never reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace vx::platform {

template <typename Handle, typename Target>
class HandleTable {
 public:
  explicit HandleTable(std::uintptr_t firstValue) : next_(firstValue) {}

  Handle Open(Target target) {
    std::lock_guard guard(lock_);
    const auto value = ++next_;
    open_.emplace(value, std::move(target));
    return static_cast<Handle>(value);
  }

  // A copy of what the handle refers to; nothing for an unknown or closed handle.
  std::optional<Target> Find(Handle handle) const {
    std::lock_guard guard(lock_);
    auto found = open_.find(static_cast<std::uintptr_t>(handle));
    if (found == open_.end()) return std::nullopt;
    return found->second;
  }

  // Changes what an open handle refers to (a file position, say).
  template <typename Change>
  bool Update(Handle handle, Change change) {
    std::lock_guard guard(lock_);
    auto found = open_.find(static_cast<std::uintptr_t>(handle));
    if (found == open_.end()) return false;
    change(found->second);
    return true;
  }

  bool Close(Handle handle) {
    std::lock_guard guard(lock_);
    return open_.erase(static_cast<std::uintptr_t>(handle)) != 0;
  }

  std::size_t OpenCount() const {
    std::lock_guard guard(lock_);
    return open_.size();
  }

 private:
  mutable std::mutex lock_;
  std::map<std::uintptr_t, Target> open_;
  std::uintptr_t next_;
};

}  // namespace vx::platform
