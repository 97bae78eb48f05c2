// The POSIX shared-memory object that backs a named mutex. The name carries
// the user id, so that, like the local object namespace of a Windows logon,
// each user has mutexes of their own; letters, digits, '.', '_' and '-' stay
// as they are and every other UTF-16 unit becomes "%XXXX", so that distinct
// mutex names never share an object.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace vx::platform::linux_backend {

// "/vx94c6-mutex.<uid>.<encoded name>"; nullopt for an empty name or one too
// long for a shared-memory object.
std::optional<std::string> SharedMutexObjectName(std::u16string_view name, uid_t user);

}  // namespace vx::platform::linux_backend
