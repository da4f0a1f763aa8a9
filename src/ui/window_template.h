#pragma once
// A window described as data: its frame, its control table and the handlers
// bound to its events. The window model builds live windows from these.

#include "settings/settings_table.h"
#include "text.h"

#include <span>
#include <string_view>

enum class ControlKind { EditBox, Button, Label, GroupBox };

// One row of a control table. The control's ID is its 1-based row number.
struct ControlRow {
    std::string_view name;
    ControlKind kind;
    int parentRow;                // 0: the window itself; otherwise the row of a group box
    int left, top, width, height; // relative to the parent
    std::string_view caption;
};

// What a handler may do with the window it runs for.
class WindowContext {
  public:
    // The whole current content of the edit box named `control`.
    virtual AnsiText text(std::string_view control) const = 0;
    virtual void setText(std::string_view control, std::string_view value) = 0;
    virtual void setTitle(std::string_view title) = 0;

  protected:
    ~WindowContext() = default;
};

using Handler = void (*)(WindowContext& window);

struct ClickBinding {
    int row; // the button's row
    Handler clicked;
};

struct WindowTemplate {
    WindowId id;
    const char* className;
    int width, height; // outer size, frame and caption included
    bool minimizeBox;
    std::span<const ControlRow> controls;
    Handler created;
    Handler willBeDestroyed;
    std::span<const ClickBinding> clicks;
};

extern const WindowTemplate mainWindowTemplate;
extern const WindowTemplate dnsWindowTemplate;
extern const WindowTemplate staticAddressWindowTemplate;

// Opens a window modally; returns once it has been closed. Provided by the
// window model.
bool openModalWindow(const WindowTemplate& window);
