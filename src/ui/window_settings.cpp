#include "ui/window_settings.h"

#include "settings/settings_file.h"

void loadBoxes(WindowContext& window, WindowId id) {
    for (const SettingRow& row : settingsTable)
        if (row.window == id)
            window.setText(row.box, readSetting(row.section, row.key, row.defaultValue));
}

void saveBoxes(const WindowContext& window, WindowId id) {
    for (const SettingRow& row : settingsTable)
        if (row.window == id)
            writeSetting(row.section, row.key, window.text(row.box));
}
