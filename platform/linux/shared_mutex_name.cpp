#include "platform/linux/shared_mutex_name.h"

#include <climits>
#include <cstdio>

namespace vx::platform::linux_backend {

namespace {

bool KeptAsIs(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
         c == u'_' || c == u'-';
}

}  // namespace

std::optional<std::string> SharedMutexObjectName(std::u16string_view name, uid_t user) {
  if (name.empty()) return std::nullopt;
  std::string object = "/vx94c6-mutex." + std::to_string(user) + ".";
  for (const char16_t c : name) {
    if (KeptAsIs(c)) {
      object += static_cast<char>(c);
    } else {
      char escaped[6];
      std::snprintf(escaped, sizeof escaped, "%%%04X", static_cast<unsigned>(c));
      object += escaped;
    }
  }
  // The part after the leading '/' becomes a file name in /dev/shm.
  if (object.size() - 1 > NAME_MAX) return std::nullopt;
  return object;
}

}  // namespace vx::platform::linux_backend
