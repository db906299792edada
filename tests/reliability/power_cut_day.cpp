#include "power_cut_day.h"

#include <sys/wait.h>

#include <algorithm>

#include "storage/data_paths.h"
#include "support/run_folder.h"

namespace shop::test {

PowerCutDay::PowerCutDay(const RunFolder& run, const DayPlan& plan, const std::string& traceFile) {
    const auto tracing = [&](bool marks) {
        return tracingEnvironment(traceFile, run.dir(), marks, plan.unsynced);
    };
    for (int s = 0; s < plan.sessions && m_failure.empty(); ++s) {
        if (s > 0) {
            const Child tool =
                spawnProcess(SHOP_TEST_TOOL,
                             {"backup", run.dir(), storage::joinPath(run.dir(), kToolBackupFolder)},
                             tracing(false), false);
            const int status = waitFor(tool.pid);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                m_failure = "the table tool's backup failed";
        }
        Session session;
        const Child till = spawnTill("crash", run.dir(), plan.seed + static_cast<unsigned>(s),
                                     plan.steps, s, tracing(true));
        session.pid = till.pid;
        session.states = parseStates(readToEnd(till.out));
        ::close(till.out);
        const int status = waitFor(till.pid);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            m_failure = "session " + std::to_string(s) + " did not end through its close button";
        else if (session.states.size() != static_cast<std::size_t>(plan.steps) + 1)
            m_failure = "session " + std::to_string(s) + " reported " +
                        std::to_string(session.states.size()) + " states";
        m_sessions.push_back(std::move(session));
    }
    if (!m_failure.empty()) return;
    auto ops = readTrace(traceFile);
    if (!ops) {
        m_failure = "no trace";
        return;
    }
    m_ops = std::move(*ops);
    index();
}

// Where in the trace each session reported each state, from its marks.
void PowerCutDay::index() {
    for (Session& session : m_sessions) {
        std::string said;
        std::size_t parsed = 0;
        for (std::size_t i = 0; i < m_ops.size(); ++i) {
            const TraceOp& op = m_ops[i];
            if (op.pid != session.pid) continue;
            session.lastOp = i;
            if (op.op != SHOP_TRACE_MARK) continue;
            said += op.data;
            const std::size_t now = parseStates(said).size();
            for (; parsed < now; ++parsed) session.reportedAt.push_back(i);
        }
        if (session.reportedAt.size() != session.states.size())
            m_failure = "the trace holds " + std::to_string(session.reportedAt.size()) +
                        " of a session's " + std::to_string(session.states.size()) + " reports";
    }
}

Kept PowerCutDay::keptAfter(int s, std::size_t applied) const {
    const Session& session = m_sessions[static_cast<std::size_t>(s)];
    if (applied > session.lastOp) return {{session.states.back()}};
    // Reports made before the cut; the step after the last of them was in
    // flight, and its change may or may not have lasted.
    const std::size_t k =
        static_cast<std::size_t>(std::count_if(session.reportedAt.begin(), session.reportedAt.end(),
                                               [applied](std::size_t at) { return at < applied; }));
    if (k == 0) return {{Rows{}}};
    Kept kept{{session.states[k - 1]}};
    if (k < session.states.size()) kept.either.push_back(session.states[k]);
    return kept;
}

}  // namespace shop::test

namespace shop::test {

std::size_t PowerCutDay::randomCut(std::mt19937& random) const {
    using Pick = std::uniform_int_distribution<std::size_t>;
    if (Pick(0, 1)(random) == 0) return Pick(0, m_ops.size())(random);
    const Session& s = m_sessions[Pick(0, m_sessions.size() - 1)(random)];
    return Pick(s.reportedAt.front(), s.reportedAt.back())(random);
}

}  // namespace shop::test
