#include "simhost/desktop/ResourceScript.h"

#include "qzwin32.h"

#include "simhost/Unicode.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace simhost {
namespace {

// Names a script may use in numbers and style expressions (the values of <windows.h> and
// <commctrl.h>, which the Windows build's resource compiler reads).
const std::map<std::string, long>& Symbols() {
    static const std::map<std::string, long> symbols = {
#define QZ_SYMBOL(name) {#name, long(name)}
        QZ_SYMBOL(WS_OVERLAPPED),
        QZ_SYMBOL(WS_POPUP),
        QZ_SYMBOL(WS_CHILD),
        QZ_SYMBOL(WS_MINIMIZE),
        QZ_SYMBOL(WS_VISIBLE),
        QZ_SYMBOL(WS_DISABLED),
        QZ_SYMBOL(WS_CLIPSIBLINGS),
        QZ_SYMBOL(WS_CLIPCHILDREN),
        QZ_SYMBOL(WS_MAXIMIZE),
        QZ_SYMBOL(WS_CAPTION),
        QZ_SYMBOL(WS_BORDER),
        QZ_SYMBOL(WS_DLGFRAME),
        QZ_SYMBOL(WS_VSCROLL),
        QZ_SYMBOL(WS_HSCROLL),
        QZ_SYMBOL(WS_SYSMENU),
        QZ_SYMBOL(WS_THICKFRAME),
        QZ_SYMBOL(WS_GROUP),
        QZ_SYMBOL(WS_TABSTOP),
        QZ_SYMBOL(WS_MINIMIZEBOX),
        QZ_SYMBOL(WS_MAXIMIZEBOX),
        QZ_SYMBOL(WS_SIZEBOX),
        QZ_SYMBOL(WS_OVERLAPPEDWINDOW),
        QZ_SYMBOL(WS_POPUPWINDOW),
        QZ_SYMBOL(WS_EX_DLGMODALFRAME),
        QZ_SYMBOL(WS_EX_NOPARENTNOTIFY),
        QZ_SYMBOL(WS_EX_TOPMOST),
        QZ_SYMBOL(WS_EX_TOOLWINDOW),
        QZ_SYMBOL(WS_EX_WINDOWEDGE),
        QZ_SYMBOL(WS_EX_CLIENTEDGE),
        QZ_SYMBOL(WS_EX_CONTROLPARENT),
        QZ_SYMBOL(WS_EX_STATICEDGE),
        QZ_SYMBOL(WS_EX_APPWINDOW),
        QZ_SYMBOL(DS_ABSALIGN),
        QZ_SYMBOL(DS_SYSMODAL),
        QZ_SYMBOL(DS_3DLOOK),
        QZ_SYMBOL(DS_FIXEDSYS),
        QZ_SYMBOL(DS_NOFAILCREATE),
        QZ_SYMBOL(DS_SETFONT),
        QZ_SYMBOL(DS_MODALFRAME),
        QZ_SYMBOL(DS_NOIDLEMSG),
        QZ_SYMBOL(DS_SETFOREGROUND),
        QZ_SYMBOL(DS_CONTROL),
        QZ_SYMBOL(DS_CENTER),
        QZ_SYMBOL(DS_CENTERMOUSE),
        QZ_SYMBOL(DS_CONTEXTHELP),
        QZ_SYMBOL(DS_SHELLFONT),
        QZ_SYMBOL(SS_LEFT),
        QZ_SYMBOL(SS_CENTER),
        QZ_SYMBOL(SS_RIGHT),
        QZ_SYMBOL(SS_ICON),
        QZ_SYMBOL(SS_BLACKRECT),
        QZ_SYMBOL(SS_GRAYRECT),
        QZ_SYMBOL(SS_WHITERECT),
        QZ_SYMBOL(SS_BLACKFRAME),
        QZ_SYMBOL(SS_GRAYFRAME),
        QZ_SYMBOL(SS_WHITEFRAME),
        QZ_SYMBOL(SS_SIMPLE),
        QZ_SYMBOL(SS_LEFTNOWORDWRAP),
        QZ_SYMBOL(SS_ETCHEDHORZ),
        QZ_SYMBOL(SS_ETCHEDVERT),
        QZ_SYMBOL(SS_ETCHEDFRAME),
        QZ_SYMBOL(SS_NOPREFIX),
        QZ_SYMBOL(SS_NOTIFY),
        QZ_SYMBOL(SS_CENTERIMAGE),
        QZ_SYMBOL(SS_SUNKEN),
        QZ_SYMBOL(SS_ENDELLIPSIS),
        QZ_SYMBOL(ES_LEFT),
        QZ_SYMBOL(ES_CENTER),
        QZ_SYMBOL(ES_RIGHT),
        QZ_SYMBOL(ES_MULTILINE),
        QZ_SYMBOL(ES_UPPERCASE),
        QZ_SYMBOL(ES_LOWERCASE),
        QZ_SYMBOL(ES_PASSWORD),
        QZ_SYMBOL(ES_AUTOVSCROLL),
        QZ_SYMBOL(ES_AUTOHSCROLL),
        QZ_SYMBOL(ES_NOHIDESEL),
        QZ_SYMBOL(ES_READONLY),
        QZ_SYMBOL(ES_WANTRETURN),
        QZ_SYMBOL(ES_NUMBER),
        QZ_SYMBOL(BS_PUSHBUTTON),
        QZ_SYMBOL(BS_DEFPUSHBUTTON),
        QZ_SYMBOL(BS_CHECKBOX),
        QZ_SYMBOL(BS_AUTOCHECKBOX),
        QZ_SYMBOL(BS_RADIOBUTTON),
        QZ_SYMBOL(BS_3STATE),
        QZ_SYMBOL(BS_AUTO3STATE),
        QZ_SYMBOL(BS_GROUPBOX),
        QZ_SYMBOL(BS_AUTORADIOBUTTON),
        QZ_SYMBOL(BS_LEFTTEXT),
        QZ_SYMBOL(BS_MULTILINE),
        QZ_SYMBOL(BS_NOTIFY),
        QZ_SYMBOL(BS_FLAT),
        QZ_SYMBOL(CBS_SIMPLE),
        QZ_SYMBOL(CBS_DROPDOWN),
        QZ_SYMBOL(CBS_DROPDOWNLIST),
        QZ_SYMBOL(CBS_AUTOHSCROLL),
        QZ_SYMBOL(CBS_SORT),
        QZ_SYMBOL(CBS_HASSTRINGS),
        QZ_SYMBOL(CBS_NOINTEGRALHEIGHT),
        QZ_SYMBOL(CBS_DISABLENOSCROLL),
        QZ_SYMBOL(LBS_NOTIFY),
        QZ_SYMBOL(LBS_SORT),
        QZ_SYMBOL(LBS_NOREDRAW),
        QZ_SYMBOL(LBS_MULTIPLESEL),
        QZ_SYMBOL(LBS_HASSTRINGS),
        QZ_SYMBOL(LBS_USETABSTOPS),
        QZ_SYMBOL(LBS_NOINTEGRALHEIGHT),
        QZ_SYMBOL(LBS_EXTENDEDSEL),
        QZ_SYMBOL(LBS_DISABLENOSCROLL),
        QZ_SYMBOL(LBS_NOSEL),
        QZ_SYMBOL(LVS_ICON),
        QZ_SYMBOL(LVS_REPORT),
        QZ_SYMBOL(LVS_SMALLICON),
        QZ_SYMBOL(LVS_LIST),
        QZ_SYMBOL(LVS_SINGLESEL),
        QZ_SYMBOL(LVS_SHOWSELALWAYS),
        QZ_SYMBOL(LVS_SORTASCENDING),
        QZ_SYMBOL(LVS_NOLABELWRAP),
        QZ_SYMBOL(LVS_NOCOLUMNHEADER),
        QZ_SYMBOL(LVS_NOSORTHEADER),
        QZ_SYMBOL(TVS_HASBUTTONS),
        QZ_SYMBOL(TVS_HASLINES),
        QZ_SYMBOL(TVS_LINESATROOT),
        QZ_SYMBOL(TVS_EDITLABELS),
        QZ_SYMBOL(TVS_DISABLEDRAGDROP),
        QZ_SYMBOL(TVS_SHOWSELALWAYS),
        QZ_SYMBOL(TVS_CHECKBOXES),
        QZ_SYMBOL(TVS_TRACKSELECT),
        QZ_SYMBOL(TVS_SINGLEEXPAND),
        QZ_SYMBOL(TVS_FULLROWSELECT),
        QZ_SYMBOL(IDOK),
        QZ_SYMBOL(IDCANCEL),
        QZ_SYMBOL(IDABORT),
        QZ_SYMBOL(IDRETRY),
        QZ_SYMBOL(IDIGNORE),
        QZ_SYMBOL(IDYES),
        QZ_SYMBOL(IDNO),
#undef QZ_SYMBOL
        {"IDC_STATIC", -1},
        {"VS_VERSION_INFO", 1},
        {"LANG_NEUTRAL", 0},
        {"SUBLANG_NEUTRAL", 0},
        {"SUBLANG_DEFAULT", 1},
        {"LANG_ENGLISH", 9},
        {"SUBLANG_ENGLISH_US", 1},
    };
    return symbols;
}

// Window classes a CONTROL statement may name by the common controls' macros.
const std::map<std::string, std::u16string>& ClassMacros() {
    static const std::map<std::string, std::u16string> macros = {
        {"WC_BUTTON", u"Button"},          {"WC_STATIC", u"Static"},   {"WC_EDIT", u"Edit"},
        {"WC_COMBOBOX", u"ComboBox"},      {"WC_LISTBOX", u"ListBox"}, {"WC_LISTVIEW", u"SysListView32"},
        {"WC_TREEVIEW", u"SysTreeView32"},
    };
    return macros;
}

// One control statement: its window class and the styles of the Windows build's resource
// compiler. "base" is always part of the style; "defaults" only when the script gives none.
struct ControlKind {
    const char* statement;
    const char16_t* className;
    bool hasText;
    uint32_t base;
    uint32_t defaults;
};

const ControlKind kControlKinds[] = {
    {"LTEXT", u"Static", true, SS_LEFT, WS_GROUP},
    {"RTEXT", u"Static", true, SS_RIGHT, WS_GROUP},
    {"CTEXT", u"Static", true, SS_CENTER, WS_GROUP},
    {"PUSHBUTTON", u"Button", true, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"DEFPUSHBUTTON", u"Button", true, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {"CHECKBOX", u"Button", true, BS_CHECKBOX | WS_TABSTOP, 0},
    {"AUTOCHECKBOX", u"Button", true, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {"RADIOBUTTON", u"Button", true, BS_RADIOBUTTON, WS_TABSTOP},
    {"AUTORADIOBUTTON", u"Button", true, BS_AUTORADIOBUTTON, WS_TABSTOP},
    {"GROUPBOX", u"Button", true, BS_GROUPBOX, 0},
    {"EDITTEXT", u"Edit", false, ES_LEFT | WS_BORDER | WS_TABSTOP, 0},
    {"COMBOBOX", u"ComboBox", false, 0, CBS_SIMPLE | WS_TABSTOP},
    {"LISTBOX", u"ListBox", false, LBS_NOTIFY | WS_BORDER, 0},
};

enum class TokenType { End, Number, Name, String, Punct };

struct Token {
    TokenType type = TokenType::End;
    std::string text;  // name, punctuation or the string's UTF-8 content
    long number = 0;
    int line = 0;
};

class Parser {
public:
    Parser(const std::string& text, std::string* error) : text_(text), error_(error) {}

    bool Run(ResourceScript* script) {
        Next();
        while (ok_ && current_.type != TokenType::End) Statement(script);
        return ok_;
    }

private:
    // ------------------------------------------------------------------ tokens
    void SkipSpaceAndComments() {
        bool lineStart = position_ == 0 || text_[position_ - 1] == '\n';
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == '\n') {
                ++line_;
                ++position_;
                lineStart = true;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++position_;
            } else if (c == '/' && Peek(1) == '/') {
                while (position_ < text_.size() && text_[position_] != '\n') ++position_;
            } else if (c == '/' && Peek(1) == '*') {
                position_ += 2;
                while (position_ < text_.size() && !(text_[position_] == '*' && Peek(1) == '/')) {
                    if (text_[position_] == '\n') ++line_;
                    ++position_;
                }
                position_ += 2;
            } else if (c == '#' && lineStart) {
                Directive();
            } else {
                return;
            }
        }
    }

    // Preprocessor lines: #define NAME value is remembered, everything else (#include, ...) ignored.
    void Directive() {
        const size_t end = text_.find('\n', position_);
        std::string line = text_.substr(position_, end == std::string::npos ? std::string::npos : end - position_);
        position_ = end == std::string::npos ? text_.size() : end;
        size_t i = 1;
        auto word = [&]() {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            const size_t start = i;
            while (i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_')) ++i;
            return line.substr(start, i - start);
        };
        if (word() != "define") return;
        const std::string name = word();
        if (name.empty()) return;
        // Only numeric values matter to dialogs; a name defined otherwise stays unknown.
        Parser value(line.substr(i), nullptr);
        value.defines_ = defines_;
        value.Next();
        if (value.current_.type == TokenType::End) return;
        const long number = value.Number();
        if (value.ok_ && value.current_.type == TokenType::End) defines_[name] = number;
    }

    char Peek(size_t ahead) const { return position_ + ahead < text_.size() ? text_[position_ + ahead] : '\0'; }

    void Next() {
        SkipSpaceAndComments();
        current_ = Token();
        current_.line = line_;
        if (position_ >= text_.size()) return;
        const char c = text_[position_];
        if (c == '"' || (c == 'L' && Peek(1) == '"')) {
            if (c == 'L') ++position_;
            ReadString();
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            ReadNumber();
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            const size_t start = position_;
            while (position_ < text_.size() &&
                   (std::isalnum(static_cast<unsigned char>(text_[position_])) || text_[position_] == '_'))
                ++position_;
            current_.type = TokenType::Name;
            current_.text = text_.substr(start, position_ - start);
        } else {
            current_.type = TokenType::Punct;
            current_.text = std::string(1, c);
            ++position_;
        }
    }

    void ReadNumber() {
        const char* start = text_.c_str() + position_;
        char* end = nullptr;
        const bool hex = start[0] == '0' && (start[1] == 'x' || start[1] == 'X');
        current_.number = long(std::strtoul(start, &end, hex ? 16 : 10));
        position_ += size_t(end - start);
        while (position_ < text_.size() && (text_[position_] == 'L' || text_[position_] == 'l' ||
                                            text_[position_] == 'U' || text_[position_] == 'u'))
            ++position_;
        current_.type = TokenType::Number;
    }

    void ReadString() {
        ++position_;
        std::string value;
        while (true) {
            if (position_ >= text_.size() || text_[position_] == '\n') {
                Fail("unterminated string");
                return;
            }
            const char c = text_[position_++];
            if (c == '"') {
                if (position_ < text_.size() && text_[position_] == '"') {
                    value += '"';
                    ++position_;
                    continue;
                }
                break;
            }
            if (c == '\\' && position_ < text_.size()) {
                const char e = text_[position_++];
                switch (e) {
                    case 'n':
                        value += '\n';
                        break;
                    case 't':
                        value += '\t';
                        break;
                    case 'r':
                        value += '\r';
                        break;
                    case 'a':
                        value += '\a';
                        break;
                    default:
                        value += e;
                        break;
                }
                continue;
            }
            value += c;
        }
        current_.type = TokenType::String;
        current_.text = value;
    }

    // ------------------------------------------------------------------ helpers
    void Fail(const std::string& message) {
        if (!ok_) return;
        ok_ = false;
        if (error_) *error_ = "line " + std::to_string(current_.line) + ": " + message;
    }

    bool IsName(const char* name) const { return current_.type == TokenType::Name && current_.text == name; }
    bool IsPunct(const char* punct) const { return current_.type == TokenType::Punct && current_.text == punct; }

    bool Expect(const char* punct) {
        if (!IsPunct(punct)) {
            Fail(std::string("expected '") + punct + "' before '" + current_.text + "'");
            return false;
        }
        Next();
        return true;
    }

    bool Accept(const char* punct) {
        if (!IsPunct(punct)) return false;
        Next();
        return true;
    }

    bool IsBlockStart() const { return IsName("BEGIN") || IsPunct("{"); }
    bool IsBlockEnd() const { return IsName("END") || IsPunct("}"); }

    void SkipBlock() {
        int depth = 0;
        do {
            if (current_.type == TokenType::End) {
                Fail("missing END");
                return;
            }
            if (IsBlockStart()) ++depth;
            if (IsBlockEnd()) --depth;
            Next();
        } while (ok_ && depth > 0);
    }

    long Symbol(const std::string& name) {
        auto defined = defines_.find(name);
        if (defined != defines_.end()) return defined->second;
        auto known = Symbols().find(name);
        if (known != Symbols().end()) return known->second;
        Fail("unknown name " + name);
        return 0;
    }

    // A number: literals, names, unary minus, parentheses, '+', '-' and '|'.
    long Primary() {
        if (Accept("-")) return -Primary();
        if (Accept("(")) {
            const long value = Number();
            Expect(")");
            return value;
        }
        if (current_.type == TokenType::Number) {
            const long value = current_.number;
            Next();
            return value;
        }
        if (current_.type == TokenType::Name && current_.text != "NOT") {
            const long value = Symbol(current_.text);
            Next();
            return value;
        }
        Fail("expected a number before '" + current_.text + "'");
        return 0;
    }

    long Number() {
        long value = Primary();
        while (ok_) {
            if (Accept("|"))
                value |= Primary();
            else if (Accept("+"))
                value += Primary();
            else if (Accept("-"))
                value -= Primary();
            else
                break;
        }
        return value;
    }

    // A style expression over an initial value: terms are or-ed in, "NOT term" clears bits.
    uint32_t Style(uint32_t value) {
        do {
            if (current_.type == TokenType::Name && current_.text == "NOT") {
                Next();
                value &= ~uint32_t(Primary());
            } else {
                value |= uint32_t(Primary());
            }
        } while (ok_ && Accept("|"));
        return value;
    }

    std::u16string Text() {
        if (current_.type != TokenType::String) {
            Fail("expected a string before '" + current_.text + "'");
            return std::u16string();
        }
        std::u16string text = simhost::ToUTF16(current_.text);
        Next();
        return text;
    }

    // ------------------------------------------------------------------ statements
    void Statement(ResourceScript* script) {
        if (IsName("LANGUAGE")) {
            Next();
            Number();
            Expect(",");
            Number();
            return;
        }
        if (IsName("STRINGTABLE")) {
            while (ok_ && !IsBlockStart() && current_.type != TokenType::End) Next();
            SkipBlock();
            return;
        }
        const long id = Primary();
        if (!ok_) return;
        if (IsName("DIALOGEX") || IsName("DIALOG")) {
            Next();
            Dialog(script, int(id));
        } else if (IsName("VERSIONINFO")) {
            while (ok_ && !IsBlockStart() && current_.type != TokenType::End) Next();
            SkipBlock();
        } else {
            Fail("unsupported resource type " + current_.text);
        }
    }

    void Dialog(ResourceScript* script, int id) {
        DialogTemplate dialog;
        dialog.id = id;
        dialog.x = int(Number());
        Expect(",");
        dialog.y = int(Number());
        Expect(",");
        dialog.cx = int(Number());
        Expect(",");
        dialog.cy = int(Number());
        if (Accept(",")) Number();  // help id
        bool captioned = false;
        uint32_t style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        while (ok_ && !IsBlockStart()) {
            if (IsName("STYLE")) {
                Next();
                style = uint32_t(Number());
            } else if (IsName("EXSTYLE")) {
                Next();
                dialog.exStyle = uint32_t(Number());
            } else if (IsName("CAPTION")) {
                Next();
                dialog.caption = Text();
                captioned = true;
            } else if (IsName("FONT")) {
                Next();
                dialog.fontSize = int(Number());
                Expect(",");
                dialog.fontName = Text();
                // weight, italic, character set
                while (ok_ && Accept(",")) Number();
            } else if (IsName("LANGUAGE")) {
                Next();
                Number();
                Expect(",");
                Number();
            } else if (IsName("CHARACTERISTICS") || IsName("VERSION")) {
                Next();
                Number();
            } else {
                Fail("unsupported dialog statement " + current_.text);
            }
        }
        if (captioned) style |= WS_CAPTION;
        if (dialog.fontSize > 0) style |= DS_SETFONT;
        dialog.style = style;
        Next();  // BEGIN
        while (ok_ && !IsBlockEnd()) {
            if (current_.type == TokenType::End) {
                Fail("missing END of dialog " + std::to_string(id));
                return;
            }
            Control(&dialog);
        }
        Next();  // END
        if (ok_) script->dialogs.push_back(dialog);
    }

    void Control(DialogTemplate* dialog) {
        DialogItemTemplate item;
        item.statement = current_.text;
        if (IsName("CONTROL")) {
            Next();
            item.text = Text();
            Expect(",");
            item.id = int(Number());
            Expect(",");
            if (current_.type == TokenType::Name && ClassMacros().count(current_.text)) {
                item.className = ClassMacros().at(current_.text);
                Next();
            } else {
                item.className = Text();
            }
            Expect(",");
            item.style = Style(WS_CHILD | WS_VISIBLE);
            Expect(",");
            Coordinates(&item);
            if (Accept(",")) item.exStyle = uint32_t(Number());
            if (Accept(",")) Number();  // help id
            dialog->items.push_back(item);
            return;
        }
        const ControlKind* kind = nullptr;
        for (const ControlKind& candidate : kControlKinds)
            if (IsName(candidate.statement)) kind = &candidate;
        if (!kind) {
            Fail("unsupported control statement " + current_.text);
            return;
        }
        Next();
        item.className = kind->className;
        if (kind->hasText) {
            item.text = Text();
            Expect(",");
        }
        item.id = int(Number());
        Expect(",");
        Coordinates(&item);
        const uint32_t style = WS_CHILD | WS_VISIBLE | kind->base;
        if (Accept(",")) {
            item.style = Style(style);
            if (Accept(",")) item.exStyle = uint32_t(Number());
            if (Accept(",")) Number();  // help id
        } else {
            item.style = style | kind->defaults;
        }
        dialog->items.push_back(item);
    }

    void Coordinates(DialogItemTemplate* item) {
        item->x = int(Number());
        Expect(",");
        item->y = int(Number());
        Expect(",");
        item->cx = int(Number());
        Expect(",");
        item->cy = int(Number());
    }

    const std::string text_;
    std::string* error_;
    size_t position_ = 0;
    int line_ = 1;
    Token current_;
    bool ok_ = true;
    std::map<std::string, long> defines_;
};

}  // namespace

const DialogTemplate* ResourceScript::FindDialog(int id) const {
    for (const DialogTemplate& dialog : dialogs)
        if (dialog.id == id) return &dialog;
    return nullptr;
}

bool ParseResourceScript(const std::string& text, ResourceScript* script, std::string* error) {
    if (!script) return false;
    ResourceScript parsed;
    Parser parser(text, error);
    if (!parser.Run(&parsed)) return false;
    *script = parsed;
    return true;
}

}  // namespace simhost
