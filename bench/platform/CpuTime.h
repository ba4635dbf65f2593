#pragma once

// CPU time used so far, in seconds: this process, or another one by pid.

#include <optional>

namespace zintrel::bench {

double ProcessCpuSeconds();
// From /proc/<pid>/stat; nullopt when it cannot be read.
std::optional<double> OtherProcessCpuSeconds(int pid);

}  // namespace zintrel::bench
