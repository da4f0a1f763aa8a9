#include "actions/script_run_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Step = ScriptRunOrder::Step;

// One call on the order: ask(script, busy) expecting a step; next(busy)
// expecting a step and, when a run is taken, its script; written(script, ok).
struct Call {
    enum Kind { ask, next, written, writeFailed } kind;
    const char* script;
    bool busy = false;
    Step expected = Step::done;
};

constexpr bool idle = false;
constexpr bool busy = true;

struct Scenario {
    const char* name;
    std::vector<Call> calls;
};

const char* stepName(Step step) {
    switch (step) {
    case Step::write:
        return "write";
    case Step::startAgain:
        return "startAgain";
    case Step::watch:
        return "watch";
    case Step::queue:
        return "queue";
    case Step::wait:
        return "wait";
    case Step::done:
        return "done";
    }
    return "?";
}

void play(const Scenario& scenario) {
    SCOPED_TRACE(scenario.name);
    ScriptRunOrder order;
    for (std::size_t i = 0; i < scenario.calls.size(); ++i) {
        const Call& call = scenario.calls[i];
        SCOPED_TRACE("call " + std::to_string(i + 1));
        const ByteBlock script = toBytes(call.script);
        switch (call.kind) {
        case Call::ask:
            EXPECT_STREQ(stepName(order.ask(script, call.busy)), stepName(call.expected));
            break;
        case Call::next: {
            ByteBlock taken;
            EXPECT_STREQ(stepName(order.next(call.busy, taken)), stepName(call.expected));
            EXPECT_EQ(std::string(taken.begin(), taken.end()), call.script);
            break;
        }
        case Call::written:
        case Call::writeFailed:
            order.written(script, call.kind == Call::written);
            break;
        }
    }
}

} // namespace

TEST(ScriptRunOrder, StartsNowWaitsOrStartsAgain) {
    const Scenario scenarios[] = {
        {"an idle file is written, however often",
         {{Call::ask, "A", idle, Step::write},
          {Call::written, "A"},
          {Call::ask, "A", idle, Step::write},
          {Call::ask, "B", idle, Step::write}}},
        {"while a script runs, its own bytes start again and other bytes wait",
         {{Call::ask, "A", idle, Step::write},
          {Call::written, "A"},
          {Call::ask, "A", busy, Step::startAgain},
          {Call::ask, "A", busy, Step::startAgain},
          {Call::ask, "B", busy, Step::watch}}},
        {"a file whose write failed holds unknown bytes: nothing starts again",
         {{Call::ask, "A", idle, Step::write},
          {Call::written, "A"},
          {Call::ask, "A", idle, Step::write},
          {Call::writeFailed, "A"},
          {Call::ask, "A", busy, Step::watch}}},
        {"a busy file never written here holds unknown bytes",
         {{Call::ask, "A", busy, Step::watch}}},
    };
    for (const Scenario& scenario : scenarios)
        play(scenario);
}

TEST(ScriptRunOrder, WaitingRunsStartInTheOrderAskedEachAfterTheLastEnded) {
    play({"A runs; B, A, C asked for meanwhile",
          {{Call::ask, "A", idle, Step::write},
           {Call::written, "A"},
           {Call::ask, "B", busy, Step::watch},
           // Queued although A's bytes are in the file: it must not overtake B.
           {Call::ask, "A", busy, Step::queue},
           // Queued although nothing runs any more: the watcher is not done.
           {Call::ask, "C", idle, Step::queue},
           {Call::next, "", busy, Step::wait},
           {Call::next, "B", idle, Step::write},
           {Call::written, "B"},
           {Call::next, "", busy, Step::wait},
           {Call::next, "A", idle, Step::write},
           {Call::written, "A"},
           {Call::next, "", busy, Step::wait},
           {Call::next, "C", idle, Step::write},
           {Call::written, "C"},
           {Call::next, "", busy, Step::done},
           // Watching is over: runs are decided at once again.
           {Call::ask, "C", busy, Step::startAgain},
           {Call::ask, "D", idle, Step::write}}});
}

TEST(ScriptRunOrder, EqualWaitingRunsStartTogether) {
    play({"B, B, A wait behind A",
          {{Call::ask, "A", idle, Step::write},
           {Call::written, "A"},
           {Call::ask, "B", busy, Step::watch},
           {Call::ask, "B", busy, Step::queue},
           {Call::ask, "A", busy, Step::queue},
           {Call::next, "B", idle, Step::write},
           {Call::written, "B"},
           {Call::next, "B", busy, Step::startAgain},
           {Call::next, "", busy, Step::wait},
           {Call::next, "A", idle, Step::write},
           {Call::written, "A"},
           {Call::next, "", busy, Step::done}}});
    play({"a waiting run whose write failed lets the next one start",
          {{Call::ask, "A", idle, Step::write},
           {Call::written, "A"},
           {Call::ask, "B", busy, Step::watch},
           {Call::ask, "B", busy, Step::queue},
           {Call::next, "B", idle, Step::write},
           {Call::writeFailed, "B"},
           // Not started, so nothing runs; the file's bytes are unknown.
           {Call::next, "B", idle, Step::write},
           {Call::written, "B"},
           {Call::next, "", busy, Step::done}}});
}

TEST(ScriptRunOrder, DroppingTheWaitingRunsEndsWatching) {
    ScriptRunOrder order;
    order.written(toBytes("A"), true);
    EXPECT_EQ(order.ask(toBytes("B"), busy), Step::watch);
    EXPECT_EQ(order.ask(toBytes("C"), busy), Step::queue);
    EXPECT_TRUE(order.watching());
    EXPECT_EQ(order.waitingRuns(), 2u);

    EXPECT_EQ(order.dropWaiting(), 2u);
    EXPECT_FALSE(order.watching());
    EXPECT_EQ(order.waitingRuns(), 0u);
    ByteBlock taken;
    EXPECT_EQ(order.next(idle, taken), Step::done);
    EXPECT_EQ(order.ask(toBytes("A"), busy), Step::startAgain);
}
