#include "ui/fatal_error.h"

#include <cstdio>

void formatFatalErrorText(char* buffer, std::size_t size, std::string_view message) {
    std::snprintf(buffer, size, "运行时出错!\r\n\r\n错误信息：%.*s\r\n",
                  static_cast<int>(message.size()), message.data());
}

void formatAllocationFailure(char* buffer, std::size_t size, std::size_t bytes) {
    std::snprintf(buffer, size, "分配 %llu 字节内存失败!", static_cast<unsigned long long>(bytes));
}
