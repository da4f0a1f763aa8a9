// Start and end of the process.
// Winsock 2's header must come before <windows.h>.
#include <winsock2.h>

#include "settings/program_directory.h"
#include "ui/fatal_error.h"
#include "ui/window_model_win.h"

#include <ole2.h>

#include <cstdlib>
#include <new>

namespace {

void cleanUpWinsock() {
    WSACleanup();
}

} // namespace

[[noreturn]] void fatalError(std::string_view message) {
    // No handler runs from here on, not even while the box is up.
    suppressEventsForGood();
    static char text[1024];
    formatFatalErrorText(text, sizeof text, message);
    MessageBoxA(nullptr, text, "错误", MB_OK | MB_ICONERROR);
    destroyHiddenOwnerWindow();
    OleUninitialize();
    ExitProcess(static_cast<UINT>(-1));
}

void* operator new(std::size_t size) {
    if (void* block = std::malloc(size ? size : 1))
        return block;
    char message[64];
    formatAllocationFailure(message, sizeof message, size);
    fatalError(message);
}

// The runtime's own version prints a demangled exception name to a console
// this program does not have, and brings a demangler along.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

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
        fatalError(templatesUnreadableMessage);
    if (!openWindow(mainWindowTemplate, false))
        fatalError(startWindowFailedMessage);

    const int exitCode = runMainMessageLoop();

    suppressEventsForGood();
    destroyHiddenOwnerWindow();
    OleUninitialize();
    return exitCode;
}
