// Start and end of the process.
// Winsock 2's header must come before <windows.h>.
#include <winsock2.h>

#include "settings/program_directory.h"
#include "ui/window_model_win.h"

#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

namespace {

void cleanUpWinsock() {
    WSACleanup();
}

} // namespace

// Shows what went wrong and ends the process with exit code -1. Allocates
// nothing, so it also works when memory has run out.
[[noreturn]] void fatalError(std::string_view message) {
    suppressEventsForGood();
    static char text[1024];
    std::snprintf(text, sizeof text, "运行时出错!\r\n\r\n错误信息：%.*s\r\n",
                  static_cast<int>(message.size()), message.data());
    MessageBoxA(nullptr, text, "错误", MB_OK | MB_ICONERROR);
    destroyHiddenOwnerWindow();
    OleUninitialize();
    ExitProcess(static_cast<UINT>(-1));
}

void* operator new(std::size_t size) {
    if (void* block = std::malloc(size ? size : 1))
        return block;
    char message[64];
    std::snprintf(message, sizeof message, "分配 %lu 字节内存失败!",
                  static_cast<unsigned long>(size));
    fatalError(message);
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WSADATA winsock;
    WSAStartup(MAKEWORD(1, 0), &winsock);
    std::atexit(cleanUpWinsock);
    OleInitialize(nullptr);
    initProgramDirectory();
    createHiddenOwnerWindow(instance);
    if (!prepareWindowTemplates(instance))
        fatalError("载入窗口模板数据段出错!");
    if (!openWindow(mainWindowTemplate, false))
        fatalError("载入启动窗口失败");

    const int exitCode = runMainMessageLoop();

    suppressEventsForGood();
    destroyHiddenOwnerWindow();
    OleUninitialize();
    return exitCode;
}
