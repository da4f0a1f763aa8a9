#pragma once
// The three errors that end the program: what the error box says.

#include <cstddef>
#include <string_view>

inline constexpr std::string_view templatesUnreadableMessage = "载入窗口模板数据段出错!";
inline constexpr std::string_view startWindowFailedMessage = "载入启动窗口失败";

// The box text for `message`, written into `buffer` (cut to fit, always
// terminated). Allocates nothing: it also serves when memory has run out.
void formatFatalErrorText(char* buffer, std::size_t size, std::string_view message);

// The message for a failed allocation of `bytes` bytes, into `buffer`.
void formatAllocationFailure(char* buffer, std::size_t size, std::size_t bytes);

// Shows the error box and ends the process with exit code -1.
[[noreturn]] void fatalError(std::string_view message);
