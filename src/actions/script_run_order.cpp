#include "actions/script_run_order.h"

#include <utility>

ScriptRunOrder::Step ScriptRunOrder::ask(const ByteBlock& script, bool busy) {
    if (watching_) {
        waiting_.push_back(script);
        return Step::queue;
    }
    if (!busy)
        return Step::write;
    // The running scripts read these same bytes: another start cannot
    // disturb them, and it keeps every click opening its own console.
    if (holds(script))
        return Step::startAgain;
    waiting_.push_back(script);
    watching_ = true;
    return Step::watch;
}

ScriptRunOrder::Step ScriptRunOrder::next(bool busy, ByteBlock& script) {
    if (waiting_.empty()) {
        watching_ = false;
        return Step::done;
    }
    Step step = Step::wait;
    if (!busy)
        step = Step::write;
    else if (holds(waiting_.front()))
        step = Step::startAgain;
    if (step != Step::wait) {
        script = std::move(waiting_.front());
        waiting_.pop_front();
    }
    return step;
}

void ScriptRunOrder::written(const ByteBlock& script, bool ok) {
    // A failed write may leave the old bytes, or part of the new ones.
    if (ok)
        held_ = script;
    else
        held_.reset();
}

std::size_t ScriptRunOrder::dropWaiting() {
    const std::size_t dropped = waiting_.size();
    waiting_.clear();
    watching_ = false;
    return dropped;
}
