// The block device of a bridge's disk, as the list command shows it and as
// its JSON gives it to scripts. A bridge found on Linux has one, mounted or
// not; a simulated bridge and every bridge on Windows have none.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/bridge_description.h"
#include "cli/json_report.h"

namespace vx::cli {
namespace {

using nlohmann::json;

struct BlockCase {
  std::optional<BlockDevice> block;
  std::string line;  // the list's line; "" for none
  json value;        // "blockDevice" in the JSON
};

TEST(BlockDeviceReport, TextAndJsonAgree) {
  const BlockCase cases[] = {
      {BlockDevice{"/dev/sdb", {}}, "  Block device:     /dev/sdb, not mounted\n",
       json::parse(R"({"path":"/dev/sdb","mountPoints":[]})")},
      {BlockDevice{"/dev/sdc", {"/media/op/BRIDGE", "/mnt/b c"}},
       "  Block device:     /dev/sdc, mounted on /media/op/BRIDGE, /mnt/b c\n",
       json::parse(R"({"path":"/dev/sdc","mountPoints":["/media/op/BRIDGE","/mnt/b c"]})")},
      // A mount point that is no UTF-8 still gives valid JSON.
      {BlockDevice{"/dev/sdd", {"/media/\xFF"}}, "  Block device:     /dev/sdd, mounted on /media/\xFF\n",
       json::parse(R"({"path":"/dev/sdd","mountPoints":["/media/\ufffd"]})")},
      {std::nullopt, "", nullptr},
  };
  for (const auto& c : cases) {
    DeviceRecord record{};
    const FoundBridge bridge{record, c.block};
    const std::string text = DescribeBridge(bridge);
    if (c.line.empty()) {
      EXPECT_EQ(text.find("Block device:"), std::string::npos) << text;
    } else {
      EXPECT_NE(text.find("  Disk path:        (none)\n" + c.line + "  WinUSB path:"), std::string::npos) << text;
    }
    const json list = json::parse(BridgeListJson({bridge, bridge}));
    ASSERT_EQ(list.at("bridges").size(), 2u);
    EXPECT_EQ(list["bridges"][1].at("blockDevice"), c.value) << list.dump();
  }
}

}  // namespace
}  // namespace vx::cli
