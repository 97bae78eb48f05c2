// Where the Linux backend finds the kernel's views of the machine. A real run
// uses the system's own; tests point them at a tree built in a temporary
// folder.
#pragma once

#include <string>

namespace vx::platform::linux_backend {

struct SystemPaths {
  std::string sys = "/sys";    // sysfs
  std::string dev = "/dev";    // device nodes
  std::string proc = "/proc";  // procfs (mount table)
};

}  // namespace vx::platform::linux_backend
