// How the three windows look to a user: where they stand, what they show
// when they appear, and every control's kind, place and stacking.

#include "program_e2e.h"

#include <algorithm>

using namespace driver;

namespace {

enum class Kind { EditBox, Button, Label, GroupBox };

struct ControlRow {
    int id;
    Kind kind;
    int parent; // 0: the window; otherwise the group box's ID
    RECT rect;  // in the window's client coordinates: left, top, right, bottom
    std::string caption;
};

// x, y, width, height -> RECT
constexpr RECT box(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

struct WindowLayout {
    const WindowKind& kind;
    RECT outer; // on a 1024 x 768 screen
    std::vector<ControlRow> controls;
};

const std::vector<WindowLayout>& layouts() {
    using enum Kind;
    static const std::vector<WindowLayout> all = {
        {mainWindow,
         box(322, 275, 379, 218),
         {
             {1, Button, 0, box(8, 37, 151, 73), texts::changeStaticAddress},
             {2, Label, 0, box(8, 8, 51, 24), texts::adapterLabel},
             {3, EditBox, 0, box(62, 8, 100, 24), ""},
             {4, Button, 0, box(104, 138, 72, 46), texts::computerName},
             {5, Button, 0, box(8, 138, 72, 46), texts::changeDns},
             {6, Button, 10, box(195, 44, 82, 52), "IPconfig"},
             {7, Button, 10, box(281, 44, 82, 52), "Ping"},
             {8, EditBox, 10, box(210, 16, 128, 25), ""},
             {9, Button, 0, box(214, 112, 151, 73), texts::obtainAddress},
             {10, GroupBox, 0, box(190, 0, 177, 112), "Test"},
         }},
        {dnsWindow,
         box(413, 287, 197, 193),
         {
             {1, Button, 0, box(17, 137, 160, 28), texts::flushDns},
             {2, EditBox, 0, box(69, 23, 100, 24), ""},
             {3, Label, 0, box(15, 23, 51, 24), texts::adapterLabel},
             {4, GroupBox, 0, box(7, 4, 176, 137), texts::dnsGroup},
             {5, Button, 4, box(16, 109, 160, 28), texts::setDns},
             {6, EditBox, 4, box(69, 83, 100, 24), ""},
             {7, EditBox, 4, box(69, 52, 100, 24), ""},
             {8, Label, 4, box(18, 83, 48, 24), texts::alternateDns},
             {9, Label, 4, box(18, 52, 48, 24), "DNS"},
         }},
        {staticWindow,
         box(419, 251, 186, 266),
         {
             {1, Button, 0, box(13, 162, 150, 62), texts::staticAddress},
             {2, EditBox, 0, box(65, 25, 100, 24), ""},
             {3, EditBox, 0, box(65, 96, 100, 24), ""},
             {4, EditBox, 0, box(65, 60, 100, 24), ""},
             {5, Label, 0, box(17, 96, 64, 24), texts::gatewayLabel},
             {6, Label, 0, box(17, 60, 64, 24), texts::maskLabel},
             {7, Label, 0, box(17, 25, 64, 24), "IP  :"},
             {8, GroupBox, 0, box(8, 8, 168, 224), texts::staticAddress},
             {9, EditBox, 8, box(65, 130, 100, 24), ""},
             {10, Label, 8, box(17, 130, 51, 24), texts::adapterLabel},
         }},
    };
    return all;
}

void expectRect(const RECT& actual, const RECT& expected, const std::string& what) {
    EXPECT_TRUE(EqualRect(&actual, &expected))
        << what << ": at " << actual.left << "," << actual.top << " size "
        << actual.right - actual.left << "x" << actual.bottom - actual.top << ", expected "
        << expected.left << "," << expected.top << " size " << expected.right - expected.left << "x"
        << expected.bottom - expected.top;
}

void expectKind(HWND control, Kind kind) {
    const LONG_PTR style = windowStyle(control);
    const LONG_PTR exStyle = GetWindowLongPtrA(control, GWL_EXSTYLE);
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_TRUE(IsWindowEnabled(control));
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    switch (kind) {
    case Kind::EditBox:
        EXPECT_EQ(lstrcmpiA(className(control).c_str(), "Edit"), 0) << className(control);
        EXPECT_TRUE(style & WS_TABSTOP);
        EXPECT_TRUE(style & ES_AUTOHSCROLL);
        EXPECT_FALSE(style & (ES_MULTILINE | ES_READONLY | ES_PASSWORD));
        EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
        break;
    case Kind::Button:
        EXPECT_EQ(lstrcmpiA(className(control).c_str(), "Button"), 0) << className(control);
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "a default or other button";
        EXPECT_TRUE(style & WS_TABSTOP);
        EXPECT_TRUE(style & BS_MULTILINE);
        break;
    case Kind::GroupBox:
        EXPECT_EQ(lstrcmpiA(className(control).c_str(), "Button"), 0) << className(control);
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        EXPECT_FALSE(style & WS_TABSTOP);
        break;
    case Kind::Label:
        EXPECT_EQ(className(control), "IpflipLabel");
        EXPECT_FALSE(style & WS_TABSTOP);
        break;
    }
}

// The IDs of `parent`'s direct children from the top of the stack down.
std::vector<int> stackOf(HWND parent) {
    std::vector<int> ids;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    return ids;
}

class Layout : public ProgramTest {};

} // namespace

TEST_F(Layout, MainWindowIsReadyBeforeItIsFirstShown) {
    ASSERT_FALSE(fileExists(inFolder("C.ini")));
    start({.recordFirstShows = true});
    const std::vector<FirstShow> shows = program->firstShows();
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].className, mainClass);
    EXPECT_EQ(shows[0].title, hostName());
    EXPECT_EQ(shows[0].editTexts,
              (std::map<int, std::string>{{mainIds::adapter, texts::wirelessConnection},
                                          {mainIds::pingTarget, texts::fillInAddress}}));

    EXPECT_EQ(windowText(main), hostName());
    EXPECT_TRUE(waitForFocus(main, controlById(main, mainIds::obtainAddress)));
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr) << "the main window has a taskbar button";
    EXPECT_FALSE(fileExists(inFolder("C.ini"))) << "reading the settings created the file";
}

TEST_F(Layout, WindowsAreCentredAndControlsStandWhereTheTablesSay) {
    start({.recordFirstShows = true});
    for (const WindowLayout& layout : layouts()) {
        SCOPED_TRACE(std::string(layout.kind.name) + " window");
        HWND window = open(layout.kind);
        ASSERT_TRUE(window);
        expectRect(outerRect(window), layout.outer, "outer frame");
        const LONG_PTR style = windowStyle(window);
        EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
        EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, &layout.kind == &mainWindow);
        if (&layout.kind != &mainWindow) {
            EXPECT_EQ(windowText(window), "");
            EXPECT_EQ(className(GetWindow(window, GW_OWNER)), "IpflipHiddenOwner");
        }

        EXPECT_EQ(allControls(window).size(), layout.controls.size()) << "extra controls";
        for (const ControlRow& row : layout.controls) {
            SCOPED_TRACE("control " + std::to_string(row.id));
            HWND control = controlById(window, row.id);
            ASSERT_TRUE(control);
            expectKind(control, row.kind);
            expectRect(rectInTopClient(control), row.rect, "control " + std::to_string(row.id));
            HWND expectedParent = row.parent ? controlById(window, row.parent) : window;
            EXPECT_EQ(GetParent(control), expectedParent);
            if (row.kind != Kind::EditBox) {
                EXPECT_EQ(windowText(control), row.caption);
            }
            if (row.parent) {
                // Nested: wholly inside its group box, so none of it is cut off.
                RECT inside;
                const RECT groupBox = rectInTopClient(expectedParent);
                const RECT rect = rectInTopClient(control);
                IntersectRect(&inside, &rect, &groupBox);
                EXPECT_TRUE(EqualRect(&inside, &rect)) << "sticks out of its group box";
            }
        }

        // Stacked in table order, the first row on top: each group box lies
        // beneath every sibling, so none of them is hidden by it.
        std::vector<int> expectedTopLevel;
        for (const ControlRow& row : layout.controls)
            if (!row.parent)
                expectedTopLevel.push_back(row.id);
        EXPECT_EQ(stackOf(window), expectedTopLevel);
        for (const ControlRow& row : layout.controls) {
            if (row.kind != Kind::GroupBox)
                continue;
            std::vector<int> nested;
            for (const ControlRow& child : layout.controls)
                if (child.parent == row.id)
                    nested.push_back(child.id);
            EXPECT_EQ(stackOf(controlById(window, row.id)), nested);
        }

        if (&layout.kind != &mainWindow)
            closeModal(window, layout.kind);
    }

    // The other windows too had their boxes filled before they were shown.
    const std::vector<FirstShow> shows = program->firstShows();
    ASSERT_EQ(shows.size(), 3u);
    EXPECT_EQ(shows[1].className, dnsClass);
    EXPECT_EQ(shows[1].editTexts,
              (std::map<int, std::string>{{dnsIds::adapter, texts::wirelessConnection},
                                          {dnsIds::alternate, "114.114.114.114"},
                                          {dnsIds::primary, "8.8.8.8"}}));
    EXPECT_EQ(shows[2].className, staticClass);
    EXPECT_EQ(shows[2].editTexts,
              (std::map<int, std::string>{{staticIds::address, "192.168.1.66"},
                                          {staticIds::gateway, "168.168.1.1"},
                                          {staticIds::mask, "255.255.255.0"},
                                          {staticIds::adapter, texts::wirelessConnection}}));
}

// What the screen shows: every edit box white, every group box frame drawn
// beneath the controls that overlap it. The pictures are kept in
// "screenshots" for a person to look at.
TEST_F(Layout, ScreenShowsWhiteBoxesAndGroupBoxFrames) {
    start();
    CreateDirectoryA("screenshots", nullptr);
    for (const WindowLayout& layout : layouts()) {
        SCOPED_TRACE(std::string(layout.kind.name) + " window");
        HWND window = open(layout.kind);
        ASSERT_TRUE(window);
        bringToFront(window);
        const RECT outer = outerRect(window);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);

        // What is wrong in a picture; painting happens in the program's own
        // time, so pictures are taken until one is right or time runs out.
        const auto problems = [&](const Screenshot& shot) {
            // A client point of the window, in the picture.
            const auto at = [&](int x, int y) {
                return shot.pixel(origin.x - outer.left + x, origin.y - outer.top + y);
            };
            std::vector<std::string> found;
            for (const ControlRow& row : layout.controls) {
                const std::string name = "control " + std::to_string(row.id);
                const int middle = (row.rect.top + row.rect.bottom) / 2;
                if (row.kind == Kind::EditBox) {
                    // Inside the border, right of any text: the white background.
                    if (at(row.rect.right - 5, middle) != RGB(255, 255, 255))
                        found.push_back(name + ": not white");
                } else if (row.kind == Kind::GroupBox) {
                    // The frame's left edge shows, below the caption...
                    bool frameDrawn = false;
                    for (int x = row.rect.left; x < row.rect.left + 4; ++x)
                        frameDrawn = frameDrawn || at(x, middle) != face;
                    if (!frameDrawn)
                        found.push_back(name + ": no frame at its left edge");
                    // ...and its interior has the button face colour.
                    if (at(row.rect.right - 6, row.rect.bottom - 6) != face)
                        found.push_back(name + ": interior not button face");
                }
            }
            return found;
        };
        std::vector<std::string> found;
        std::unique_ptr<Screenshot> shot;
        waitUntil(
            [&] {
                shot = std::make_unique<Screenshot>(outer);
                found = problems(*shot);
                return found.empty();
            },
            5000);
        for (const std::string& problem : found)
            ADD_FAILURE() << problem;
        EXPECT_TRUE(shot->saveBmp("screenshots\\" + className(window) + ".bmp"));
        if (&layout.kind != &mainWindow)
            closeModal(window, layout.kind);
    }
}
