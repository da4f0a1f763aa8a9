// A settings file edited by hand: comment and junk lines, a blank line, a key
// and a section that occur twice, spaces around "=", a section of someone
// else's, no line break after the last line; once in the ANSI code page and
// once as UTF-8 with a byte-order mark, as editors save it. The program
// starts with the values a reader of such a file expects, and saving changes
// only the program's own values.

#include "robust_support.h"

using namespace driver;

namespace {

const std::string section1 = "[\xC5\xE4\xD6\xC3"
                             "1]";
const std::string section2 = "[\xC5\xE4\xD6\xC3"
                             "2]";
const std::string section3 = "[\xC5\xE4\xD6\xC3"
                             "3]";
const std::string adapterKey = "\xCA\xCA\xC5\xE4\xC6\xF7"; // 适配器
const std::string maskKey = "\xD1\xDA\xC2\xEB";            // 掩码
const std::string gatewayKey = "\xCD\xF8\xB9\xD8";         // 网关
const std::string alternateKey = "\xB1\xB8\xD3\xC3"
                                 "DNS";             // 备用DNS
const std::string localArea = "\xB1\xBE\xB5\xD8 A"; // 本地 A

const std::string edited = "; edited by hand\r\n"
                           "junk line without an equals sign\r\n" +
                           section1 + "\r\n" + adapterKey + "=" + localArea +
                           "\r\n"
                           "TEST=127.0.0.1\r\n" +
                           adapterKey +
                           "=second value\r\n"
                           "\r\n" +
                           section2 +
                           "\r\n"
                           "DNS = 10.0.0.1\r\n" +
                           section1 +
                           "\r\n"
                           "TEST=second section\r\n"
                           "[other]\r\n"
                           "own=kept\r\n" +
                           section3 +
                           "\r\n"
                           "IP=10.9.8.7\r\n" +
                           maskKey + "=255.0.0.0"; // no line break

// After a run that opened and closed the DNS window and then the static
// address window and changed the main window's adapter and the primary DNS
// server. Where blank lines stand is the platform writer's business.
const std::string saved = "; edited by hand\r\n"
                          "junk line without an equals sign\r\n" +
                          section1 + "\r\n" + adapterKey +
                          "=LAN B\r\n"
                          "TEST=127.0.0.1\r\n" +
                          adapterKey + "=second value\r\n" + section2 +
                          "\r\n"
                          "DNS=10.0.0.2\r\n" +
                          adapterKey + "=" + texts::wirelessConnection + "\r\n" + alternateKey +
                          "=114.114.114.114\r\n" + section1 +
                          "\r\n"
                          "TEST=second section\r\n"
                          "[other]\r\n"
                          "own=kept\r\n" +
                          section3 +
                          "\r\n"
                          "IP=10.9.8.7\r\n" +
                          maskKey + "=255.0.0.0\r\n" + gatewayKey + "=168.168.1.1\r\n";

std::string withoutEmptyLines(std::string text) {
    for (size_t at; (at = text.find("\r\n\r\n")) != std::string::npos;)
        text.erase(at, 2);
    return text;
}

std::string gbkToUtf8(const std::string& gbk) {
    std::wstring wide(gbk.size(), L'\0');
    wide.resize(
        static_cast<size_t>(MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()),
                                                wide.data(), static_cast<int>(wide.size()))));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

struct Encoding {
    const char* name;
    std::string (*encode)(const std::string& gbk);
};

const Encoding encodings[] = {
    {"ANSI", [](const std::string& gbk) { return gbk; }},
    // Windows' own reader takes such a file for ANSI: the Chinese names do
    // not match and the defaults show. Wine's reader decodes it.
    {"UTF-8 with a byte-order mark",
     [](const std::string& gbk) { return "\xEF\xBB\xBF" + gbkToUtf8(gbk); }},
};

class EditedSettings : public RobustTest {
  protected:
    // The boxes of each window: the first value of a key counts, spaces
    // around "=" are not part of it, the last line needs no line break.
    void expectBoxes(const std::string& mainAdapter, const std::string& primaryDns) {
        EXPECT_EQ(windowText(controlById(main, mainIds::adapter)), mainAdapter);
        EXPECT_EQ(windowText(controlById(main, mainIds::pingTarget)), "127.0.0.1");
        HWND dns = open(dnsWindow);
        ASSERT_TRUE(dns);
        EXPECT_EQ(windowText(controlById(dns, dnsIds::adapter)), texts::wirelessConnection);
        EXPECT_EQ(windowText(controlById(dns, dnsIds::primary)), primaryDns);
        EXPECT_EQ(windowText(controlById(dns, dnsIds::alternate)), "114.114.114.114");
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(dns, dnsWindow));
        HWND fixed = open(staticWindow);
        ASSERT_TRUE(fixed);
        EXPECT_EQ(windowText(controlById(fixed, staticIds::address)), "10.9.8.7");
        EXPECT_EQ(windowText(controlById(fixed, staticIds::mask)), "255.0.0.0");
        EXPECT_EQ(windowText(controlById(fixed, staticIds::gateway)), "168.168.1.1");
        EXPECT_EQ(windowText(controlById(fixed, staticIds::adapter)), mainAdapter);
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(fixed, staticWindow));
    }
};

} // namespace

TEST_F(EditedSettings, StartWithTheFirstValuesAndSaveOnlyTheProgramsOwn) {
    for (const Encoding& encoding : encodings) {
        SCOPED_TRACE(encoding.name);
        writeFile(inFolder("C.ini"), encoding.encode(edited));

        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_NO_FATAL_FAILURE(expectBoxes(localArea, "10.0.0.1"));
        setWindowText(controlById(main, mainIds::adapter), "LAN B");
        HWND dns = open(dnsWindow);
        ASSERT_TRUE(dns);
        setWindowText(controlById(dns, dnsIds::primary), "10.0.0.2");
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(dns, dnsWindow));
        ASSERT_NO_FATAL_FAILURE(closeProgram());
        EXPECT_EQ(withoutEmptyLines(settingsFile()), encoding.encode(saved));

        // The next run shows what was saved.
        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_NO_FATAL_FAILURE(expectBoxes("LAN B", "10.0.0.2"));
        ASSERT_NO_FATAL_FAILURE(closeProgram());
        EXPECT_EQ(withoutEmptyLines(settingsFile()), encoding.encode(saved));
    }
}
