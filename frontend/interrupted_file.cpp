#include "frontend/interrupted_file.h"

#include <atomic>

namespace vx::frontend {

namespace {

std::atomic<const char*> g_fileToRemove{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);

}  // namespace

void RemoveOnInterrupt(const char* path) { g_fileToRemove = path; }

const char* FileToRemoveOnInterrupt() { return g_fileToRemove.load(); }

}  // namespace vx::frontend
