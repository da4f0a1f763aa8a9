#pragma once
// What the end-to-end tests of ipflip share: the program started from a fresh
// folder whose name has a space, the texts it shows (code page 936 bytes) and
// the three windows as a user meets them.

#include "driver_win.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Fixed texts of the program, code page 936.
namespace texts {
inline const std::string changeStaticAddress = "\xD0\xDE\xB8\xC4\xB9\xCC\xB6\xA8IP"; // 修改固定IP
inline const std::string adapterLabel = "\xCA\xCA\xC5\xE4\xC6\xF7:";                 // 适配器:
inline const std::string computerName = "\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xFB";          // 计算机名
inline const std::string changeDns = "\xD0\xDE\xB8\xC4"
                                     "DNS";                                    // 修改DNS
inline const std::string obtainAddress = "\xD7\xD4\xB6\xAF\xBB\xF1\xC8\xA1IP"; // 自动获取IP
inline const std::string flushDns = "\xD6\xD8\xD6\xC3"
                                    "DNS\xBB\xBA\xB4\xE6";                  // 重置DNS缓存
inline const std::string dnsGroup = "DNS.\xCA\xCA\xC5\xE4\xC6\xF7\xC3\xFB"; // DNS.适配器名
inline const std::string setDns = "\xB8\xC4"
                                  "DNS"; // 改DNS
inline const std::string alternateDns = "\xB1\xB8\xD3\xC3"
                                        "DNS";                 // 备用DNS
inline const std::string gatewayLabel = "\xCD\xF8\xB9\xD8:";   // 网关:
inline const std::string maskLabel = "\xD1\xDA\xC2\xEB:";      // 掩码:
inline const std::string staticAddress = "\xB9\xCC\xB6\xA8IP"; // 固定IP
// Default values of the boxes.
inline const std::string wirelessConnection =
    "\xCE\xDE\xCF\xDF\xCD\xF8\xC2\xE7\xC1\xAC\xBD\xD3"; // 无线网络连接
inline const std::string fillInAddress = "\xCD\xF8\xD6\xB7\xD7\xD4\xBC\xBA\xCC\xEE"; // 网址自己填
} // namespace texts

// Window classes.
inline constexpr char mainClass[] = "IpflipMainWindow";
inline constexpr char dnsClass[] = "IpflipDnsWindow";
inline constexpr char staticClass[] = "IpflipStaticAddressWindow";

// Control IDs (rows of the control tables) that the tests press or fill.
namespace mainIds {
inline constexpr int changeStaticAddress = 1, adapter = 3, computerName = 4, changeDns = 5,
                     ipConfig = 6, ping = 7, pingTarget = 8, obtainAddress = 9, testGroup = 10;
}
namespace dnsIds {
inline constexpr int flushDns = 1, adapter = 2, setDns = 5, alternate = 6, primary = 7;
}
namespace staticIds {
inline constexpr int setAddress = 1, address = 2, gateway = 3, mask = 4, adapter = 9;
}

// One of the three windows: how it is reached from the main window.
struct WindowKind {
    const char* name;
    const char* className;
    int opener; // button of the main window that opens it; 0 for the main window
};
inline const WindowKind mainWindow{"main", mainClass, 0};
inline const WindowKind dnsWindow{"DNS", dnsClass, mainIds::changeDns};
inline const WindowKind staticWindow{"static address", staticClass, mainIds::changeStaticAddress};

// The computer's host name, as the program should show it.
std::string hostName();

// The program copied into a fresh folder whose name has a space, as a user
// would unpack it, then started and driven from outside. Whatever a test
// started is ended when it is over.
class ProgramTest : public ::testing::Test {
  protected:
    TempFolder folder{"Net Tools"};
    std::unique_ptr<driver::RunningProgram> program;
    HWND main = nullptr;

    void SetUp() override;

    // Starts the program and waits for its main window.
    void start(const driver::StartOptions& options = {});
    // Opens `kind` (the main window: it is open already) and returns it.
    HWND open(const WindowKind& kind);
    // Closes a modal window through its close request and waits until the
    // main window is enabled again.
    void closeModal(HWND modal, const WindowKind& kind);
    // Closes the main window through its close request; the program must
    // end with exit code 0.
    void closeProgram();

    std::string inFolder(std::string_view name) const { return folder / name; }
    // The settings file's bytes; empty when there is none.
    std::string settingsFile() const;
};

// A control's text, for messages.
std::string describe(HWND control);
