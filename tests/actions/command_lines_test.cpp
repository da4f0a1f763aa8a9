#include "actions/launch.h"

#include <gtest/gtest.h>

TEST(CommandLines, ConsolesGetTheirExactCommandLines) {
    EXPECT_EQ(ipConfigCommandLine(), "cmd  /kipconfig");
    EXPECT_EQ(flushDnsCommandLine(), "cmd /cipconfig /flushdns");
    EXPECT_EQ(pingCommandLine("127.0.0.1"), "cmd  /kping 127.0.0.1 -t");
}

TEST(CommandLines, PingHostGoesInAsTyped) {
    struct Case {
        std::string_view host, commandLine;
    };
    const Case cases[] = {
        {"", "cmd  /kping  -t"},
        {" a b ", "cmd  /kping  a b  -t"},
        {"x & calc | y", "cmd  /kping x & calc | y -t"},
        // 网址自己填: the untouched ping box.
        {"\xCD\xF8\xD6\xB7\xD7\xD4\xBC\xBA\xCC\xEE",
         "cmd  /kping \xCD\xF8\xD6\xB7\xD7\xD4\xBC\xBA\xCC\xEE -t"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.host);
        EXPECT_EQ(pingCommandLine(row.host), row.commandLine);
    }
}

TEST(CommandLines, ScriptPathIsQuotedWhole) {
    EXPECT_EQ(scriptCommandLine("C:\\Net Tools\\1.bat"), "\"C:\\Net Tools\\1.bat\"");
    EXPECT_EQ(scriptCommandLine("E:\\GG.bat"), "\"E:\\GG.bat\"");
}
