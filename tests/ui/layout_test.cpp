#include "ui/layout.h"

#include <gtest/gtest.h>

TEST(Layout, WindowsAreCentredOnTheWholeScreenTruncating) {
    struct Case {
        int width, height;
        Point origin;
    };
    const Case cases[] = {
        {379, 218, {322, 275}}, {197, 193, {413, 287}},  // 413.5 and 287.5 truncated
        {186, 266, {419, 251}}, {1100, 800, {-38, -16}}, // larger than the screen: toward zero
        {1025, 769, {0, 0}},                             // -0.5 truncates toward zero, not down
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.width);
        EXPECT_EQ(centredOrigin(1024, 768, row.width, row.height), row.origin);
    }
}

namespace {

using enum ControlKind;
constexpr ControlRow sample[] = {
    {"a", Button, 0, 1, 1, 10, 10, ""},                                          // 1
    {"b", Label, 0, 1, 1, 10, 10, ""},                                           // 2
    {"c", EditBox, 4, 5, 6, 10, 10, ""},                                         // 3, nested in 4
    {"d", GroupBox, 0, 20, 30, 50, 50, ""}, {"e", EditBox, 0, 1, 1, 10, 10, ""}, // 5
};

} // namespace

TEST(Layout, FocusOrderIsTableOrderReversedOverEditBoxesAndButtons) {
    EXPECT_EQ(focusOrder(sample), (std::vector<int>{5, 3, 1}));
    EXPECT_EQ(nextFocusRow(sample, 5, false), 3);
    EXPECT_EQ(nextFocusRow(sample, 1, false), 5); // wraps to the first
    EXPECT_EQ(nextFocusRow(sample, 5, true), 1);  // wraps to the last
    EXPECT_EQ(nextFocusRow(sample, 3, true), 5);
    EXPECT_EQ(nextFocusRow(sample, 2, false), std::nullopt); // a label
    EXPECT_EQ(nextFocusRow(sample, 0, false), std::nullopt); // not a control
}

TEST(Layout, NestedControlsSitAtTheirGroupBoxPlusTheirOffset) {
    EXPECT_EQ(clientPosition(sample, 3), (Point{25, 36}));
    EXPECT_EQ(clientPosition(sample, 4), (Point{20, 30}));
}

TEST(Layout, MalformedTemplatesAreRejected) {
    const ClickBinding clickButton[] = {{1, [](WindowContext&) {}}};
    const ClickBinding clickLabel[] = {{2, [](WindowContext&) {}}};
    const ControlRow parentIsNotAGroupBox[] = {{"a", Button, 2, 0, 0, 1, 1, ""},
                                               {"b", Button, 0, 0, 0, 1, 1, ""}};
    const ControlRow parentOutOfRange[] = {{"a", Button, 3, 0, 0, 1, 1, ""}};
    const ControlRow groupBoxesInALoop[] = {{"a", GroupBox, 2, 0, 0, 1, 1, ""},
                                            {"b", GroupBox, 1, 0, 0, 1, 1, ""}};
    auto window = [](std::span<const ControlRow> controls, std::span<const ClickBinding> clicks) {
        return WindowTemplate{WindowId::Main, "x", 1, 1, false, controls, nullptr, nullptr, clicks};
    };
    EXPECT_TRUE(isWellFormed(window(sample, clickButton)));
    EXPECT_FALSE(isWellFormed(window(sample, clickLabel)));
    EXPECT_FALSE(isWellFormed(window(parentIsNotAGroupBox, {})));
    EXPECT_FALSE(isWellFormed(window(parentOutOfRange, {})));
    EXPECT_FALSE(isWellFormed(window(groupBoxesInALoop, {})));
}
