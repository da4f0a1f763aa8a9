#include "recording_launch.h"

#include "actions/launch.h"

#include <utility>

namespace {
std::vector<RecordedScriptRun> recordedRuns;
}

bool runWorkingScript(std::string_view name, const ByteBlock& script) {
    recordedRuns.push_back({std::string(name), script});
    return true;
}

std::vector<RecordedScriptRun> takeRecordedScriptRuns() {
    return std::exchange(recordedRuns, {});
}
