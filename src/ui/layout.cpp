#include "ui/layout.h"

#include <algorithm>

Point centredOrigin(int screenWidth, int screenHeight, int width, int height) {
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

Point clientPosition(std::span<const ControlRow> controls, int row) {
    Point position{0, 0};
    for (int at = row; at != 0; at = controls[at - 1].parentRow) {
        position.x += controls[at - 1].left;
        position.y += controls[at - 1].top;
    }
    return position;
}

std::vector<int> focusOrder(std::span<const ControlRow> controls) {
    std::vector<int> order;
    for (int row = static_cast<int>(controls.size()); row >= 1; --row) {
        const ControlKind kind = controls[row - 1].kind;
        if (kind == ControlKind::EditBox || kind == ControlKind::Button)
            order.push_back(row);
    }
    return order;
}

std::optional<int> nextFocusRow(std::span<const ControlRow> controls, int currentRow,
                                bool backwards) {
    const std::vector<int> order = focusOrder(controls);
    const auto at = std::find(order.begin(), order.end(), currentRow);
    if (at == order.end())
        return std::nullopt;
    const auto size = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t index = at - order.begin();
    return order[(index + (backwards ? size - 1 : 1)) % size];
}

bool isWellFormed(const WindowTemplate& window) {
    const auto& controls = window.controls;
    const int count = static_cast<int>(controls.size());
    for (int row = 1; row <= count; ++row) {
        const int parent = controls[row - 1].parentRow;
        if (parent < 0 || parent > count || parent == row)
            return false;
        if (parent != 0 && controls[parent - 1].kind != ControlKind::GroupBox)
            return false;
    }
    // No loops through parents: every chain reaches the window.
    for (int row = 1; row <= count; ++row) {
        int steps = 0;
        for (int at = row; at != 0; at = controls[at - 1].parentRow)
            if (++steps > count)
                return false;
    }
    return std::all_of(window.clicks.begin(), window.clicks.end(), [&](const ClickBinding& click) {
        return click.row >= 1 && click.row <= count && click.clicked &&
               controls[click.row - 1].kind == ControlKind::Button;
    });
}
