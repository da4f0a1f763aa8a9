#include "ui/fatal_error.h"

#include <gtest/gtest.h>

#include <string>

TEST(FatalError, BoxTextAndMessagesInCodePage936) {
    char text[256];
    // 运行时出错! CR LF CR LF 错误信息：<message> CR LF
    formatFatalErrorText(text, sizeof text, startWindowFailedMessage);
    EXPECT_EQ(std::string(text), "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n"
                                 "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA"
                                 "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC"
                                 "\r\n");
    // 载入窗口模板数据段出错!
    EXPECT_EQ(templatesUnreadableMessage, "\xD4\xD8\xC8\xEB\xB4\xB0\xBF\xDA\xC4\xA3\xB0\xE5\xCA"
                                          "\xFD\xBE\xDD\xB6\xCE\xB3\xF6\xB4\xED!");
}

TEST(FatalError, AllocationMessageNamesTheByteCountInDecimal) {
    char message[64];
    formatAllocationFailure(message, sizeof message, 4294967295u);
    // 分配 4294967295 字节内存失败!
    EXPECT_EQ(std::string(message), "\xB7\xD6\xC5\xE4 4294967295 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6"
                                    "\xCA\xA7\xB0\xDC!");
}

TEST(FatalError, LongMessageIsCutNotOverrun) {
    char text[32];
    text[31] = 'x';
    formatFatalErrorText(text, sizeof text, std::string(500, 'm'));
    EXPECT_EQ(text[31], '\0');
}
