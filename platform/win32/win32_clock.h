// Real time on Windows: Sleep and the tick count (GetTickCount64, which does
// not wrap after 49 days as GetTickCount does).
#pragma once

#include "platform/clock_api.h"

namespace vx::platform::win32_backend {

class Win32Clock final : public ClockApi {
 public:
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t NowMs() override;
};

}  // namespace vx::platform::win32_backend
