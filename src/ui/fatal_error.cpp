#include "ui/fatal_error.h"

#include <algorithm>

namespace {

// Appends into a fixed buffer, cutting what does not fit; no allocation and
// no printf machinery (which would be most of the program's size).
class FixedText {
  public:
    FixedText(char* buffer, std::size_t size) : buffer_(buffer), size_(size) {}
    ~FixedText() {
        if (size_ > 0)
            buffer_[std::min(length_, size_ - 1)] = '\0';
    }
    FixedText& operator<<(std::string_view text) {
        for (char c : text)
            if (length_ + 1 < size_)
                buffer_[length_++] = c;
        return *this;
    }

  private:
    char* buffer_;
    std::size_t size_;
    std::size_t length_ = 0;
};

} // namespace

void formatFatalErrorText(char* buffer, std::size_t size, std::string_view message) {
    FixedText(buffer, size) << "运行时出错!\r\n\r\n错误信息：" << message << "\r\n";
}

void formatAllocationFailure(char* buffer, std::size_t size, std::size_t bytes) {
    char digits[24];
    char* first = std::end(digits);
    do {
        *--first = static_cast<char>('0' + bytes % 10);
        bytes /= 10;
    } while (bytes != 0);
    FixedText(buffer, size) << "分配 " << std::string_view(first, std::end(digits) - first)
                            << " 字节内存失败!";
}
