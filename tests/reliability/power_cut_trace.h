// The trace of file changes the recorder (power_cut/trace_shim.c) wrote while
// programs ran on a run folder, read back in order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "power_cut/trace_format.h"

namespace shop::test {

struct TraceOp {
    shop_trace_op op = SHOP_TRACE_START;
    int pid = 0;
    int fd = -1, fd2 = -1;
    std::int64_t offset = 0;
    std::int64_t flags = 0;
    std::string path, path2, data;
};

// Every whole record of the trace file; nullopt when it cannot be read.
std::optional<std::vector<TraceOp>> readTrace(const std::string& file);

// The environment that makes a child record into `trace` what it changes
// under `root`: the recorder preloaded, and its settings. With `marks` its
// standard output goes into the trace as marks; `unsynced` names files whose
// syncs are dropped (empty: none).
std::vector<std::string> tracingEnvironment(const std::string& trace, const std::string& root,
                                            bool marks, const std::string& unsynced);

}  // namespace shop::test
