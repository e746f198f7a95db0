// Dialog template 101 as it is stored in the built plug-in file, read back and compared with
// the layout the filter's users and saved screenshots know: ids, classes, texts, positions,
// styles and order of every control, the font, and the resource language.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kantora {

extern std::string pluginPath;

namespace {

struct Control {
    int id;
    std::string className;
    std::string text;
    int x, y, w, h;
    DWORD style;
};

struct Template {
    DWORD style = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::string menu, className, caption, font;
    int pointSize = 0;
    std::vector<Control> controls;
};

// Reads a DLGTEMPLATE (the form the resource compiler writes for a DIALOG statement).
class TemplateReader {
public:
    explicit TemplateReader(const BYTE *data) : p_(data) {}
    bool Extended() const { return Word(0) == 1 && Word(2) == 0xFFFF; }
    Template Read() {
        Template t;
        t.style = Dword();
        p_ += 4;  // extended style
        int count = TakeWord();
        t.x = TakeShort(), t.y = TakeShort(), t.w = TakeShort(), t.h = TakeShort();
        t.menu = NameOrOrdinal();
        t.className = NameOrOrdinal();
        t.caption = String();
        if (t.style & DS_SETFONT) {
            t.pointSize = TakeWord();
            t.font = String();
        }
        for (int k = 0; k < count; ++k) {
            Align();
            Control c;
            c.style = Dword();
            p_ += 4;  // extended style
            c.x = TakeShort(), c.y = TakeShort(), c.w = TakeShort(), c.h = TakeShort();
            c.id = static_cast<short>(TakeWord());
            c.className = NameOrOrdinal();
            c.text = NameOrOrdinal();
            p_ += TakeWord();  // creation data
            t.controls.push_back(c);
        }
        return t;
    }

private:
    WORD Word(int at) const { return static_cast<WORD>(p_[at] | p_[at + 1] << 8); }
    WORD TakeWord() {
        WORD w = Word(0);
        p_ += 2;
        return w;
    }
    short TakeShort() { return static_cast<short>(TakeWord()); }
    DWORD Dword() {
        DWORD d = Word(0) | static_cast<DWORD>(Word(2)) << 16;
        p_ += 4;
        return d;
    }
    void Align() {
        while (reinterpret_cast<uintptr_t>(p_) % 4)
            ++p_;
    }
    std::string String() {
        std::string s;
        for (WORD c; (c = TakeWord()) != 0;)
            s += static_cast<char>(c);
        return s;
    }
    // The predefined control classes are stored as atoms.
    std::string NameOrOrdinal() {
        if (Word(0) != 0xFFFF)
            return String();
        p_ += 2;
        switch (WORD atom = TakeWord()) {
        case 0x80:
            return "Button";
        case 0x81:
            return "Edit";
        case 0x82:
            return "Static";
        default:
            return "#" + std::to_string(atom);
        }
    }
    const BYTE *p_;
};

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kValueEdit =
    kShown | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kUpDown = kShown | UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS;
constexpr DWORD kLabel = kShown | WS_GROUP | SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD kGroupBox = kShown | BS_GROUPBOX;
constexpr DWORD kColourEdit = kShown | WS_DISABLED | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

// The controls in template order.
std::vector<Control> ExpectedControls() {
    std::vector<Control> c = {{1001, "Button", "Left Settings", 3, 89, 64, 120, kGroupBox}};
    auto pair = [&](int edit, int ex, int ey, int ew, int eh, int upDown, int ux, int uy) {
        c.push_back({edit, "Edit", "", ex, ey, ew, eh, kValueEdit});
        c.push_back({upDown, UPDOWN_CLASSA, "", ux, uy, 11, 15, kUpDown});
    };
    pair(1043, 19, 109, 34, 14, 1044, 9, 109);     // left black
    pair(1045, 19, 138, 34, 14, 1016, 9, 138);     // left smear
    pair(1047, 20, 164, 33, 15, 1048, 10, 165);    // left fade
    pair(1061, 20, 191, 33, 14, 1060, 10, 191);    // left stretch
    pair(1025, 98, 22, 34, 14, 1026, 87, 22);      // top black
    pair(1024, 98, 51, 36, 14, 1014, 87, 51);      // top smear
    pair(1027, 98, 80, 36, 15, 1029, 87, 80);      // top fade
    pair(1039, 98, 105, 25, 14, 1041, 88, 105);    // top stretch
    pair(1032, 98, 148, 35, 14, 1033, 86, 147);    // bottom black
    pair(1034, 96, 176, 35, 14, 1015, 86, 176);    // bottom smear
    pair(1036, 96, 203, 35, 15, 1037, 86, 203);    // bottom fade
    pair(1063, 96, 227, 25, 14, 1062, 86, 227);    // bottom stretch
    pair(1051, 161, 110, 33, 14, 1052, 151, 110);  // right black
    pair(1053, 161, 137, 34, 14, 1017, 151, 137);  // right smear
    pair(1055, 159, 164, 35, 15, 1056, 149, 164);  // right fade
    pair(1059, 161, 190, 25, 14, 1058, 151, 190);  // right stretch
    std::vector<Control> rest = {
        {1, "Button", "OK", 145, 8, 50, 14, kShown | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {5, "Button", "Show Preview", 146, 28, 50, 14, kShown | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {9, "Button", "Help", 146, 48, 50, 14, kShown | WS_TABSTOP | BS_PUSHBUTTON},
        {2, "Button", "Cancel", 146, 69, 50, 14, kShown | WS_TABSTOP | BS_PUSHBUTTON},
        {1042, "Static", "Black Region", 9, 98, 45, 10, kLabel},
        {1000, "Button", "Top Settings", 79, 4, 57, 120, kGroupBox},
        {1028, "Static", "Black Region", 87, 13, 46, 10, kLabel},
        {1030, "Static", "Fade Region", 87, 69, 47, 10, kLabel},
        {1031, "Static", "Smear Region", 87, 39, 46, 10, kLabel},
        {1040, "Static", "Black Region", 86, 136, 46, 10, kLabel},
        {1035, "Static", "Fade Region", 86, 192, 50, 10, kLabel},
        {1038, "Static", "Smear Region", 86, 165, 50, 10, kLabel},
        {1002, "Button", "Bottom Settings", 79, 126, 57, 119, kGroupBox},
        {1046, "Static", "Fade Region", 9, 154, 50, 10, kLabel},
        {1049, "Static", "Smear Region", 9, 127, 50, 10, kLabel},
        {1050, "Static", "Black Region", 151, 94, 46, 10, kLabel},
        {1054, "Static", "Fade Region", 151, 154, 43, 10, kLabel},
        {1057, "Static", "Smear Region", 153, 126, 50, 10, kLabel},
        {1003, "Button", "Right Settings", 142, 86, 61, 122, kGroupBox},
        {1064, "Static", "Strech Factor", 89, 96, 47, 10, kLabel},
        {1065, "Static", "Strech Factor", 10, 183, 43, 10, kLabel},
        {1066, "Static", "Strech Factor", 151, 180, 47, 10, kLabel},
        {1067, "Static", "Strech Factor", 86, 217, 47, 10, kLabel},
        {1004, "Button", "Process Top/Bottom before sides", 149, 0, 51, 17,
         WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE | BS_NOTIFY},
        {1005, "Edit", "", 7, 26, 18, 12, kColourEdit},
        {-1, "Static", "Border Colours R      G      B", 14, 7, 49, 18,
         kShown | WS_GROUP | SS_LEFT},
        {1006, "Edit", "", 26, 26, 18, 12, kColourEdit},
        {1007, "Edit", "", 44, 26, 18, 12, kColourEdit},
    };
    c.insert(c.end(), rest.begin(), rest.end());
    return c;
}

std::string Describe(const Control &c) {
    std::string className = c.className;  // class names are not case-sensitive
    for (char &ch : className)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    char text[200];
    snprintf(text, sizeof text, "%d %s \"%s\" %d,%d,%d,%d style %08lX", c.id, className.c_str(),
             c.text.c_str(), c.x, c.y, c.w, c.h, static_cast<unsigned long>(c.style));
    return text;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD> *>(found)->push_back(language);
    return TRUE;
}

TEST(DialogTemplate, MatchesTheLayoutControlByControl) {
    HMODULE file = LoadLibraryExA(pluginPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, file) << pluginPath;
    std::vector<WORD> languages;
    EnumResourceLanguagesA(file, MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(101),
                           CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(std::vector<WORD>{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK)}, languages);

    HRSRC found = FindResourceExA(file, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(101),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    ASSERT_NE(nullptr, found);
    auto data = static_cast<const BYTE *>(LockResource(LoadResource(file, found)));
    ASSERT_NE(nullptr, data);
    TemplateReader reader(data);
    ASSERT_FALSE(reader.Extended()) << "an extended template: read it as DLGTEMPLATEEX";
    Template t = reader.Read();

    EXPECT_EQ(DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT}, t.style);
    EXPECT_EQ((std::vector<int>{0, 0, 203, 250}), (std::vector<int>{t.x, t.y, t.w, t.h}));
    EXPECT_EQ("", t.menu);
    EXPECT_EQ("", t.className);
    EXPECT_EQ("Kantora", t.caption);
    EXPECT_EQ("MS Sans Serif", t.font);
    EXPECT_EQ(8, t.pointSize);

    std::vector<std::string> expected, actual;
    for (const Control &c : ExpectedControls())
        expected.push_back(Describe(c));
    for (const Control &c : t.controls)
        actual.push_back(Describe(c));
    EXPECT_EQ(expected, actual);
    FreeLibrary(file);
}

}  // namespace
}  // namespace kantora
