#include "simhost/desktop/DesktopDriver.h"

namespace simhost {

const char* ControlKindName(const std::u16string& className, DWORD style) {
    std::u16string name = className;
    for (char16_t& c : name)
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    if (name == u"static")
        return (style & SS_TYPEMASK) == SS_ETCHEDHORZ || (style & SS_TYPEMASK) == SS_ETCHEDVERT ? "line" : "label";
    if (name == u"button") {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                return "check";
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return "radio";
            case BS_GROUPBOX:
                return "group";
            default:
                return "button";
        }
    }
    if (name == u"edit") return "edit";
    if (name == u"combobox") return "popup";
    if (name == u"listbox") return "listbox";
    if (name == u"syslistview32") return "list";
    if (name == u"systreeview32") return "tree";
    return "window";
}

}  // namespace simhost
