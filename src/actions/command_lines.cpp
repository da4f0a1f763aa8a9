#include "actions/launch.h"

AnsiText ipConfigCommandLine() {
    return "cmd  /kipconfig";
}

AnsiText pingCommandLine(std::string_view host) {
    return concatText({"cmd  /kping ", host, " -t"});
}

AnsiText flushDnsCommandLine() {
    return "cmd /cipconfig /flushdns";
}

AnsiText scriptCommandLine(std::string_view scriptPath) {
    return concatText({"\"", scriptPath, "\""});
}
