#include "power_cut_trace.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace shop::test {

std::optional<std::vector<TraceOp>> readTrace(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream all;
    all << in.rdbuf();
    const std::string bytes = std::move(all).str();
    std::vector<TraceOp> ops;
    std::size_t at = 0;
    while (at + sizeof(shop_trace_record) <= bytes.size()) {
        shop_trace_record r;
        std::memcpy(&r, bytes.data() + at, sizeof r);
        const std::size_t body = std::size_t{r.path_len} + r.path2_len + r.data_len;
        if (at + sizeof r + body > bytes.size()) break;
        const char* p = bytes.data() + at + sizeof r;
        TraceOp op;
        op.op = static_cast<shop_trace_op>(r.op);
        op.pid = r.pid;
        op.fd = r.fd;
        op.fd2 = r.fd2;
        op.offset = r.offset;
        op.flags = r.flags;
        op.path.assign(p, r.path_len);
        op.path2.assign(p + r.path_len, r.path2_len);
        op.data.assign(p + r.path_len + r.path2_len, r.data_len);
        ops.push_back(std::move(op));
        at += sizeof r + body;
    }
    return ops;
}

std::vector<std::string> tracingEnvironment(const std::string& trace, const std::string& root,
                                            bool marks, const std::string& unsynced) {
    std::vector<std::string> env = {std::string("LD_PRELOAD=") + SHOP_TRACE_SHIM,
                                    "SHOP_TRACE_FILE=" + trace, "SHOP_TRACE_ROOT=" + root};
    if (marks) env.push_back("SHOP_TRACE_MARK_FD=1");
    if (!unsynced.empty()) env.push_back("SHOP_TRACE_UNSYNCED=" + unsynced);
    // A sanitizer build wants its runtime first among the libraries; the
    // recorder only passes calls on, so that order does not matter here.
    const char* asan = std::getenv("ASAN_OPTIONS");
    env.push_back(std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") +
                  "verify_asan_link_order=0");
    return env;
}

}  // namespace shop::test
