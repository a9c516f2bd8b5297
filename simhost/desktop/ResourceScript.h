// Reads the dialog templates of a Windows resource script (.rc): the subset of the language the
// module's scripts use, with the styles, defaults and "NOT" rules of the Windows build's resource
// compiler, so both builds see the same dialogs. DIALOGEX resources are read; LANGUAGE,
// STRINGTABLE and VERSIONINFO are skipped; anything else is an error. The result owns its data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace simhost {

struct DialogItemTemplate {
    std::string statement;  // LTEXT, EDITTEXT, CONTROL, ...
    std::u16string text;
    int id = 0;
    std::u16string className;  // Static, Button, Edit, ComboBox, ListBox, SysListView32, ...
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

struct DialogTemplate {
    int id = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::u16string caption;
    int fontSize = 0;  // points; 0 without a FONT statement
    std::u16string fontName;
    std::vector<DialogItemTemplate> items;
};

struct ResourceScript {
    std::vector<DialogTemplate> dialogs;

    // The dialog with that resource id, or null.
    const DialogTemplate* FindDialog(int id) const;
};

// Parses the script text (UTF-8). On failure returns false and describes the first error with
// its line number.
bool ParseResourceScript(const std::string& text, ResourceScript* script, std::string* error);

}  // namespace simhost
