#include "text.h"

#include <gtest/gtest.h>

TEST(Text, ConcatTextJoinsInOrderWithNothingBetween) {
    EXPECT_EQ(concatText({"cmd  /kping ", "", " -t"}), "cmd  /kping  -t");
    EXPECT_EQ(concatText({}), "");
    EXPECT_EQ(concatText({"a", "b c", "\xCA\xCA"}), "ab c\xCA\xCA");
}

TEST(Text, BytesAreTheTextWithoutTerminator) {
    EXPECT_EQ(toBytes(""), ByteBlock{});
    EXPECT_EQ(toBytes("\xC5\xE4 1"), (ByteBlock{0xC5, 0xE4, 0x20, 0x31}));
    EXPECT_EQ(concatBytes({toBytes("ab"), ByteBlock{}, toBytes("c")}), toBytes("abc"));
}
