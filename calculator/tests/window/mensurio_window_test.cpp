// Drives the real calculator window from outside, as a user would, and checks every answer it
// shows against the solver.
//   mensurio_window_test PATH_TO_MENSURIO_EXE [gtest options]
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "mensurio_window.h"
#include "resource.h"
#include "size_solver.h"
#include "../../solver/tests/defaults_answer.h"

namespace mensurio {
namespace {

std::string exePath;

// The inputs as the window holds them; the answer they must give.
struct Inputs {
    int sourceWidth = 704, sourceHeight = 576, destWidth = 640, destHeight = 480;
    int widthMultiple = 16, heightMultiple = 16;
    int sourceAspect = 0, destAspect = 6, fixedSide = 0, reduceExpand = 0;

    std::string Answer() const {
        return SolveSizes(sourceWidth, sourceHeight, destWidth, destHeight, widthMultiple,
                          heightMultiple, sourceAspect, destAspect, fixedSide, reduceExpand);
    }
};

struct NumberEdit {
    int id;
    int Inputs::*field;
};
const std::array<NumberEdit, 6> kEdits = {{
    {IDC_SOURCE_WIDTH, &Inputs::sourceWidth},
    {IDC_SOURCE_HEIGHT, &Inputs::sourceHeight},
    {IDC_DEST_WIDTH, &Inputs::destWidth},
    {IDC_DEST_HEIGHT, &Inputs::destHeight},
    {IDC_HEIGHT_MULTIPLE, &Inputs::heightMultiple},
    {IDC_WIDTH_MULTIPLE, &Inputs::widthMultiple},
}};

// Each radio group's buttons in the order the window lists them, which is not the id order.
const std::array<int, 8> kSourceButtons = {
    IDC_SOURCE_PAL,      IDC_SOURCE_NTSC,     IDC_SOURCE_ANAMORPHIC_PAL, IDC_SOURCE_ANAMORPHIC_NTSC,
    IDC_SOURCE_SVCD_576, IDC_SOURCE_SVCD_480, IDC_SOURCE_SQUARE,         IDC_SOURCE_MONITOR_1280};
const std::array<int, 8> kDestButtons = {
    IDC_DEST_PAL,      IDC_DEST_NTSC,     IDC_DEST_ANAMORPHIC_PAL, IDC_DEST_ANAMORPHIC_NTSC,
    IDC_DEST_SVCD_576, IDC_DEST_SVCD_480, IDC_DEST_SQUARE,         IDC_DEST_MONITOR_1280};

DWORD Selection(HWND edit) { return static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0)); }

class MensurioWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<MensurioWindow>(exePath);
        ASSERT_TRUE(app_->IsOpen()) << "no window \"Mensurio\" from " << exePath;
        result_ = app_->Control(IDC_RESULT);
    }

    HWND Control(int id) const { return app_->Control(id); }

    // Overwrites the result on the screen, so that only a new recalculation can bring an answer.
    void StampResult() { SendMessageA(result_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("stale")); }

    void ExpectAnswer(const Inputs &inputs) {
        EXPECT_EQ(WaitForText(result_, inputs.Answer()), inputs.Answer());
    }

    void ReplaceEditText(HWND edit, const std::string &text) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
        if (text.empty()) {
            PressKey(edit, VK_DELETE);
        } else {
            TypeText(edit, text);
        }
        EXPECT_EQ(WaitForText(edit, text), text);
    }

    void ClickAndCheckGroup(const int *buttons, size_t count, int Inputs::*field, Inputs &inputs) {
        for (size_t position = 0; position < count; ++position) {
            SCOPED_TRACE("button " + std::to_string(buttons[position]));
            SendMessageA(Control(buttons[position]), BM_CLICK, 0, 0);
            inputs.*field = static_cast<int>(position);
            ExpectAnswer(inputs);
            for (size_t other = 0; other < count; ++other) {
                EXPECT_EQ(SendMessageA(Control(buttons[other]), BM_GETCHECK, 0, 0),
                          other == position ? BST_CHECKED : BST_UNCHECKED);
            }
        }
    }

    void ExpectAboutBoxOpensAndCloses(WPARAM command, void (*close)(HWND about)) {
        PostMessageA(app_->Window(), WM_SYSCOMMAND, command, 0);
        HWND about = app_->WaitForOwnWindow("About Mensurio");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(GetWindow(about, GW_OWNER), app_->Window());
        EXPECT_FALSE(IsWindowEnabled(app_->Window()));
        close(about);
        DWORD start = GetTickCount();
        while (IsWindow(about) && GetTickCount() - start < 10000)
            Sleep(20);
        EXPECT_FALSE(IsWindow(about));
        EXPECT_TRUE(IsWindowEnabled(app_->Window()));
    }

    void ExpectEndsCleanly() {
        EXPECT_TRUE(app_->WaitForExit());
        EXPECT_EQ(app_->ExitCode(), 0u);
    }

    std::unique_ptr<MensurioWindow> app_;
    HWND result_ = nullptr;
};

TEST_F(MensurioWindowTest, OpensWithTheDefaultsTheirAnswerAndTheFocusOnSourceWidth) {
    EXPECT_EQ(WindowText(result_), kDefaultsAnswer);
    EXPECT_EQ(Inputs().Answer(), kDefaultsAnswer);
    EXPECT_EQ(WindowText(Control(IDC_SOURCE_WIDTH)), "704");
    EXPECT_EQ(WindowText(Control(IDC_SOURCE_HEIGHT)), "576");
    EXPECT_EQ(WindowText(Control(IDC_DEST_WIDTH)), "640");
    EXPECT_EQ(WindowText(Control(IDC_DEST_HEIGHT)), "480");
    EXPECT_EQ(WindowText(Control(IDC_HEIGHT_MULTIPLE)), "16");
    EXPECT_EQ(WindowText(Control(IDC_WIDTH_MULTIPLE)), "16");
    for (int id : {IDC_SOURCE_PAL, IDC_DEST_SQUARE, IDC_USE_DEST_WIDTH, IDC_REDUCE}) {
        EXPECT_EQ(SendMessageA(Control(id), BM_GETCHECK, 0, 0), BST_CHECKED) << id;
    }
    // The dialog manager sets the focus as the window settles, later on a loaded machine.
    const HWND sourceWidth = Control(IDC_SOURCE_WIDTH);
    DWORD start = GetTickCount();
    while (app_->Focus() != sourceWidth && GetTickCount() - start < 10000)
        Sleep(20);
    EXPECT_EQ(app_->Focus(), sourceWidth);
}

TEST_F(MensurioWindowTest, TypingADigitIntoAnyEditRecalculates) {
    Inputs inputs;
    for (const NumberEdit &edit : kEdits) {
        SCOPED_TRACE("edit " + std::to_string(edit.id));
        HWND control = Control(edit.id);
        std::string text = WindowText(control);
        SendMessageA(control, EM_SETSEL, text.size(), text.size());
        StampResult();
        TypeText(control, "2");
        inputs.*edit.field = inputs.*edit.field * 10 + 2;
        EXPECT_EQ(WaitForText(control, text + "2"), text + "2");
        ExpectAnswer(inputs);
    }
}

TEST_F(MensurioWindowTest, AnEmptyOrZeroEditGivesIncorrectValuesUntilANumberReturns) {
    for (const NumberEdit &edit : kEdits) {
        SCOPED_TRACE("edit " + std::to_string(edit.id));
        HWND control = Control(edit.id);
        std::string original = WindowText(control);
        ReplaceEditText(control, "");
        EXPECT_EQ(WaitForText(result_, "Incorrect values"), "Incorrect values");
        StampResult();
        TypeText(control, "0");
        EXPECT_EQ(WaitForText(result_, "Incorrect values"), "Incorrect values");
        Inputs inputs;
        inputs.*edit.field = 9;
        ReplaceEditText(control, "9");
        ExpectAnswer(inputs);
        ReplaceEditText(control, original);
        EXPECT_EQ(WaitForText(result_, kDefaultsAnswer), kDefaultsAnswer);
    }
}

TEST_F(MensurioWindowTest, TextThatArrivesOtherwiseIsReadAsAtoiReadsIt) {
    HWND edit = Control(IDC_SOURCE_WIDTH);
    SendMessageA(edit, EM_SETSEL, 3, 3);
    TypeText(edit, "a-.1");  // the keyboard enters digits only
    EXPECT_EQ(WaitForText(edit, "7041"), "7041");

    Inputs inputs;
    const struct {
        const char *pasted;
        int value;
    } cases[] = {{"12ab", 12}, {"99999999999", 2147483647}, {"-30", -30}, {"ab", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pasted);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.pasted));
        inputs.sourceWidth = c.value;
        ExpectAnswer(inputs);
    }
    EXPECT_EQ(WindowText(result_), "Incorrect values");
}

TEST_F(MensurioWindowTest, EachRadioGroupStoresThePositionOfItsButtonInWindowOrder) {
    Inputs inputs;
    ClickAndCheckGroup(kSourceButtons.data(), kSourceButtons.size(), &Inputs::sourceAspect, inputs);
    ClickAndCheckGroup(kDestButtons.data(), kDestButtons.size(), &Inputs::destAspect, inputs);
    const int sides[] = {IDC_USE_DEST_HEIGHT, IDC_USE_DEST_WIDTH, IDC_USE_DEST_HEIGHT};
    for (int i = 0; i < 3; ++i) {
        SendMessageA(Control(sides[i]), BM_CLICK, 0, 0);
        inputs.fixedSide = sides[i] == IDC_USE_DEST_HEIGHT ? 1 : 0;
        ExpectAnswer(inputs);
        for (int mode : {IDC_EXPAND, IDC_REDUCE}) {
            SendMessageA(Control(mode), BM_CLICK, 0, 0);
            inputs.reduceExpand = mode == IDC_EXPAND ? 1 : 0;
            ExpectAnswer(inputs);
        }
    }
}

TEST_F(MensurioWindowTest, SvcdAndSquarePixelsStoreTheirPositionsNotTheirIds) {
    // "SVCD - 480x576" is 4th in the group and "Monitor (square pixels)" 6th, though by id
    // (1020, 1013) they would come 6th and 5th.
    Inputs inputs;
    SendMessageA(Control(IDC_SOURCE_SVCD_576), BM_CLICK, 0, 0);
    inputs.sourceAspect = 4;
    ExpectAnswer(inputs);
    Inputs byId = inputs;
    byId.sourceAspect = 5;
    EXPECT_NE(byId.Answer(), inputs.Answer());

    SendMessageA(Control(IDC_DEST_PAL), BM_CLICK, 0, 0);
    SendMessageA(Control(IDC_DEST_SQUARE), BM_CLICK, 0, 0);
    ExpectAnswer(inputs);
    SendMessageA(Control(IDC_DEST_SVCD_576), BM_CLICK, 0, 0);
    inputs.destAspect = 4;
    ExpectAnswer(inputs);
}

TEST_F(MensurioWindowTest, ClickingTheCheckedButtonRecalculatesTheSameAnswer) {
    for (int id : {IDC_SOURCE_PAL, IDC_DEST_SQUARE, IDC_USE_DEST_WIDTH, IDC_REDUCE}) {
        SCOPED_TRACE(id);
        StampResult();
        SendMessageA(Control(id), BM_CLICK, 0, 0);
        EXPECT_EQ(WaitForText(result_, kDefaultsAnswer), kDefaultsAnswer);
        EXPECT_EQ(SendMessageA(Control(id), BM_GETCHECK, 0, 0), BST_CHECKED);
    }
}

TEST_F(MensurioWindowTest, RecalculationLeavesTheCaretAndSelectionWhereTheUserPutThem) {
    HWND height = Control(IDC_SOURCE_HEIGHT);
    SendMessageA(height, EM_SETSEL, 1, 1);
    TypeText(height, "3");
    EXPECT_EQ(WaitForText(height, "5376"), "5376");
    EXPECT_EQ(Selection(height), MAKELONG(2, 2));

    HWND destWidth = Control(IDC_DEST_WIDTH);
    SendMessageA(destWidth, EM_SETSEL, 1, 3);
    StampResult();
    SendMessageA(Control(IDC_EXPAND), BM_CLICK, 0, 0);
    Inputs inputs;
    inputs.sourceHeight = 5376;
    inputs.reduceExpand = 1;
    ExpectAnswer(inputs);
    EXPECT_EQ(Selection(destWidth), MAKELONG(1, 3));
    EXPECT_EQ(Selection(height), MAKELONG(2, 2));
}

TEST_F(MensurioWindowTest, SystemMenuEndsWithTheAboutItem) {
    // Where menus can be read from another process (not under Wine), read it directly.
    if (HMENU menu = GetSystemMenu(app_->Window(), FALSE)) {
        int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        MENUITEMINFOA separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(menu, count - 2, TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        char text[64] = {};
        GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "&About Mensurio");
        EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    }
    // As the user does: Alt+Space opens the system menu, End picks its last item, Enter runs it.
    PostMessageA(app_->Window(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    ASSERT_NE(app_->WaitForOwnWindowOfClass("#32768"), nullptr) << "the system menu did not open";
    PressKey(app_->Window(), VK_END);
    PressKey(app_->Window(), VK_RETURN);
    HWND about = app_->WaitForOwnWindow("About Mensurio");
    ASSERT_NE(about, nullptr);
    SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(app_->WaitForOwnWindow("Mensurio") != nullptr);
}

TEST_F(MensurioWindowTest, AboutBoxOpensOverTheDisabledWindowAndClosesEveryWay) {
    ExpectAboutBoxOpensAndCloses(
        IDM_ABOUTBOX, [](HWND about) { SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0); });
    ExpectAboutBoxOpensAndCloses(IDM_ABOUTBOX | 0xF,
                                 [](HWND about) { PressKey(about, VK_ESCAPE); });
    ExpectAboutBoxOpensAndCloses(
        IDM_ABOUTBOX + 5, [](HWND about) { PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(WindowText(result_), kDefaultsAnswer);
}

TEST_F(MensurioWindowTest, OtherSystemCommandsDoNotOpenTheAboutBox) {
    DWORD_PTR ignored = 0;
    // The About box's modal loop would hold the sent message until it closes.
    EXPECT_NE(SendMessageTimeoutA(app_->Window(), WM_SYSCOMMAND, IDM_ABOUTBOX + 0x10, 0,
                                  SMTO_NORMAL, 3000, &ignored),
              0);
    EXPECT_NE(
        SendMessageTimeoutA(app_->Window(), WM_SYSCOMMAND, 0x0000, 0, SMTO_NORMAL, 3000, &ignored),
        0);
    EXPECT_EQ(app_->WaitForOwnWindow("About Mensurio", 500), nullptr);
}

TEST_F(MensurioWindowTest, EnterEndsTheProgram) {
    PressKey(app_->Focus(), VK_RETURN);
    ExpectEndsCleanly();
}

TEST_F(MensurioWindowTest, EscEndsTheProgram) {
    PressKey(app_->Focus(), VK_ESCAPE);
    ExpectEndsCleanly();
}

TEST_F(MensurioWindowTest, CloseFromTheSystemMenuEndsTheProgram) {
    PostMessageA(app_->Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndsCleanly();
}

TEST_F(MensurioWindowTest, CloseMessageEndsTheProgram) {
    PostMessageA(app_->Window(), WM_CLOSE, 0, 0);
    ExpectEndsCleanly();
}

int Main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mensurio_window_test PATH_TO_MENSURIO_EXE\n");
        return 2;
    }
    exePath = argv[1];
    return RUN_ALL_TESTS();
}

}  // namespace
}  // namespace mensurio

int main(int argc, char **argv) { return mensurio::Main(argc, argv); }
