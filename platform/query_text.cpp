#include "platform/query_text.h"

#include <algorithm>

namespace vx::platform {

QueryResult CopyQueryText(std::u16string_view text, char16_t* buffer, std::uint32_t bufferChars,
                          std::uint32_t& requiredChars) {
  requiredChars = static_cast<std::uint32_t>(text.size() + 1);
  if (buffer == nullptr || bufferChars < requiredChars) return QueryResult::InsufficientBuffer;
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = u'\0';
  return QueryResult::Ok;
}

QueryResult CopyPropertyText(std::u16string_view text, char16_t* buffer, std::uint32_t& lengthBytes) {
  std::uint32_t requiredChars = 0;
  const QueryResult result = CopyQueryText(text, buffer, lengthBytes / 2, requiredChars);
  lengthBytes = requiredChars * 2;
  return result;
}

bool CopyDeviceId(std::u16string_view id, char16_t* buffer, std::uint32_t bufferChars) {
  if (buffer == nullptr || id.size() > bufferChars) return false;
  std::copy(id.begin(), id.end(), buffer);
  if (id.size() < bufferChars) buffer[id.size()] = u'\0';
  return true;
}

bool CopyDriverKeyName(std::u16string_view key, char16_t* buffer, std::uint32_t bufferChars,
                       std::uint32_t& requiredChars) {
  requiredChars = static_cast<std::uint32_t>(key.size() + 1);
  if (bufferChars == 0) return true;
  return CopyQueryText(key, buffer, bufferChars, requiredChars) == QueryResult::Ok;
}

}  // namespace vx::platform
