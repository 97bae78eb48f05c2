// The location-string parser on any UTF-16 text: no crash, and a text it
// accepts reads back as the numbers it gave.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "discovery/read_location.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::fuzz::FuzzInput input(data, size);
  const std::u16string text = input.RestAsUtf16();
  std::int32_t port = -12345;
  std::int32_t hub = -12345;
  if (vx::ParseLocationText(text, port, hub)) {
    // Each number has at most four characters, sign included.
    FUZZ_CHECK(port >= -999 && port <= 9999);
    FUZZ_CHECK(hub >= -999 && hub <= 9999);
    FUZZ_CHECK(text.find(u"Port_#") != std::u16string::npos);
  }
  return 0;
}
