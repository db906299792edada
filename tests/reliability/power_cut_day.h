// A day at the till, recorded for the power-cut trials: sessions of the real
// main window (till_child/till_session.cpp) one after another, each selling
// by its script and leaving through the close button (which stores the rows
// and takes the exit backup), with a backup by the table tool between them.
// Every change under the run folder goes into a trace, with each session's
// step reports at the moment they were made, so that for every point of the
// day it is known which rows each session answers for.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "power_cut_trace.h"
#include "till_process.h"

namespace shop::test {

struct DayPlan {
    int sessions = 3;
    int steps = 14;     // per session
    unsigned seed = 1;  // the sessions' scripts follow it
    // Syncs of files whose name holds this text are dropped (the control).
    std::string unsynced;
};

// What a session must have kept if the power goes at some point of the day:
// one of these row lists (the step in flight may or may not have lasted).
struct Kept {
    std::vector<Rows> either;
};

class PowerCutDay {
public:
    // Records the day on `run` (stocked, nothing sold yet). `failure` says
    // why when it could not be recorded.
    PowerCutDay(const RunFolder& run, const DayPlan& plan, const std::string& traceFile);

    const std::string& failure() const { return m_failure; }
    const std::vector<TraceOp>& ops() const { return m_ops; }
    int sessions() const { return static_cast<int>(m_sessions.size()); }

    // Session `s` after the first `applied` operations of the trace.
    Kept keptAfter(int s, std::size_t applied) const;

    // How many operations of the trace reach the disk before a power cut.
    // The exits and backups make most of the day's changes, so half the cuts
    // fall anywhere and half while a session sells.
    std::size_t randomCut(std::mt19937& random) const;

private:
    struct Session {
        pid_t pid = -1;
        States states;
        // For each state report, the trace index of its last mark.
        std::vector<std::size_t> reportedAt;
        std::size_t lastOp = 0;  // the trace index of the session's last change
    };
    void index();

    std::vector<Session> m_sessions;
    std::vector<TraceOp> m_ops;
    std::string m_failure;
};

// The external backup folder the day's table-tool backups go to, inside the
// run folder so that they are traced too.
inline constexpr const char* kToolBackupFolder = "外部备份";

}  // namespace shop::test
