#pragma once
// The order in which the runs of one working script start. The command
// processor reads a batch file piece by piece while it runs it, so the file
// must not be rewritten while a script started from it still runs: a run
// with other bytes waits until every such script has ended, and waiting runs
// start in the order they were asked for.

#include "text.h"

#include <cstddef>
#include <deque>
#include <optional>

class ScriptRunOrder {
  public:
    enum class Step {
        write,      // write the file with the script, then start it
        startAgain, // start the file as it stands: it holds these very bytes
        watch,      // (ask) queued first: watch the running scripts, then call next()
        queue,      // (ask) queued behind earlier runs, which are already watched
        wait,       // (next) the oldest waiting run cannot start yet
        done,       // (next) no run waits any more: watching ends
    };

    // A run of `script` is asked for. `busy`: a script started from the file
    // may still be running. Gives write, startAgain, watch or queue.
    Step ask(const ByteBlock& script, bool busy);

    // For the watcher: the oldest waiting run, taken off the queue into
    // `script` when it can start now (write or startAgain); wait when it
    // cannot yet; done when none waits.
    Step next(bool busy, ByteBlock& script);

    // Records what became of writing `script` into the file.
    void written(const ByteBlock& script, bool ok);

    // From the first queued run until next() gives done: while watched,
    // every new run queues, so none overtakes an earlier one.
    bool watching() const { return watching_; }
    std::size_t waitingRuns() const { return waiting_.size(); }

    // Forgets the waiting runs and ends watching; gives how many there were.
    std::size_t dropWaiting();

  private:
    bool holds(const ByteBlock& script) const { return held_ && *held_ == script; }

    std::optional<ByteBlock> held_; // what the file holds, as far as known
    std::deque<ByteBlock> waiting_;
    bool watching_ = false;
};
