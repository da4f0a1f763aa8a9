#pragma once
// Host stand-in for starting working scripts: records each run instead.

#include "text.h"

#include <string>
#include <vector>

struct RecordedScriptRun {
    std::string name;
    ByteBlock script;
};

// The runs recorded since the last call, oldest first; clears the record.
std::vector<RecordedScriptRun> takeRecordedScriptRuns();
