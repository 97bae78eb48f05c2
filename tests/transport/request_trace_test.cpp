#include "transport/request_trace.h"

#include <gtest/gtest.h>

#include <thread>

#include "fake_bridge_apis.h"

namespace vx {
namespace {

TEST(RequestTrace, LinesFromTwoThreadsArriveWhole) {
  test::TraceCapture trace;
  const platform::UsbSetupPacket setup{0xC0, 0xF1, 0, 0, 2};
  auto traceMany = [&] {
    for (int i = 0; i < 200; ++i) TraceUsbRequest(setup, true);
  };
  std::thread other(traceMany);
  traceMany();
  other.join();
  EXPECT_EQ(trace.lines, test::Lines(400, "USB C0 F1 0000 0000 2 -> ok"));
}

}  // namespace
}  // namespace vx
