// The configuration dialog in a real dialog manager (Wine on Linux), driven by window messages
// only, with a host preview controller that records every call.
//   kantora_dialog_test PATH_TO_PLUGIN [gtest options]
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "resources/resource.h"

namespace kantora {

std::string pluginPath;

namespace {

// Each value row: the field it edits, its edit and its up-down.
struct Row {
    const char *name;
    int32_t (BorderSettings::*values)[kSideCount];
    Side side;
    int edit;
    int upDown;
    int32_t &Field(BorderSettings &s) const { return (s.*values)[side]; }
};
const Row kRows[] = {
    {"top black", &BorderSettings::blackRegion, Top, IDC_TOP_BLACK, IDC_TOP_BLACK_UPDOWN},
    {"top smear", &BorderSettings::smearRegion, Top, IDC_TOP_SMEAR, IDC_TOP_SMEAR_UPDOWN},
    {"top fade", &BorderSettings::fadeRegion, Top, IDC_TOP_FADE, IDC_TOP_FADE_UPDOWN},
    {"top stretch", &BorderSettings::stretchFactor, Top, IDC_TOP_STRETCH, IDC_TOP_STRETCH_UPDOWN},
    {"bottom black", &BorderSettings::blackRegion, Bottom, IDC_BOTTOM_BLACK,
     IDC_BOTTOM_BLACK_UPDOWN},
    {"bottom smear", &BorderSettings::smearRegion, Bottom, IDC_BOTTOM_SMEAR,
     IDC_BOTTOM_SMEAR_UPDOWN},
    {"bottom fade", &BorderSettings::fadeRegion, Bottom, IDC_BOTTOM_FADE, IDC_BOTTOM_FADE_UPDOWN},
    {"bottom stretch", &BorderSettings::stretchFactor, Bottom, IDC_BOTTOM_STRETCH,
     IDC_BOTTOM_STRETCH_UPDOWN},
    {"left black", &BorderSettings::blackRegion, Left, IDC_LEFT_BLACK, IDC_LEFT_BLACK_UPDOWN},
    {"left smear", &BorderSettings::smearRegion, Left, IDC_LEFT_SMEAR, IDC_LEFT_SMEAR_UPDOWN},
    {"left fade", &BorderSettings::fadeRegion, Left, IDC_LEFT_FADE, IDC_LEFT_FADE_UPDOWN},
    {"left stretch", &BorderSettings::stretchFactor, Left, IDC_LEFT_STRETCH,
     IDC_LEFT_STRETCH_UPDOWN},
    {"right black", &BorderSettings::blackRegion, Right, IDC_RIGHT_BLACK, IDC_RIGHT_BLACK_UPDOWN},
    {"right smear", &BorderSettings::smearRegion, Right, IDC_RIGHT_SMEAR, IDC_RIGHT_SMEAR_UPDOWN},
    {"right fade", &BorderSettings::fadeRegion, Right, IDC_RIGHT_FADE, IDC_RIGHT_FADE_UPDOWN},
    {"right stretch", &BorderSettings::stretchFactor, Right, IDC_RIGHT_STRETCH,
     IDC_RIGHT_STRETCH_UPDOWN},
};

// Every field of the record, for comparisons that name what differs.
std::vector<long long> Fields(const BorderSettings &s) {
    std::vector<long long> all{static_cast<long long>(reinterpret_cast<uintptr_t>(s.preview))};
    for (int side = 0; side < kSideCount; ++side) {
        all.insert(all.end(), {s.smearRegion[side], s.blackRegion[side], s.fadeRegion[side],
                               s.stretchFactor[side]});
    }
    all.insert(all.end(),
               {s.processTopBottomFirst, s.borderColour, s.colourRed, s.colourGreen, s.colourBlue});
    return all;
}

int UpDownPosition(HWND dialog, const Row &row) {
    return static_cast<short>(
        LOWORD(SendMessageA(GetDlgItem(dialog, row.upDown), UDM_GETPOS, 0, 0)));
}

// The ways a user steps a value: an arrow key in its edit, or a click on an up-down arrow.
struct Step {
    const char *name;
    void (*apply)(HWND dialog, const Row &row);
    int delta;
};

void PressKey(HWND window, WPARAM key) {
    SendMessageA(window, WM_KEYDOWN, key, 1);
    SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void ClickArrow(HWND dialog, const Row &row, bool up) {
    HWND upDown = GetDlgItem(dialog, row.upDown);
    RECT r;
    GetClientRect(upDown, &r);
    LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    SendMessageA(upDown, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(upDown, WM_LBUTTONUP, 0, at);
}

const Step kSteps[] = {
    {"Up key", [](HWND d, const Row &r) { PressKey(GetDlgItem(d, r.edit), VK_UP); }, +1},
    {"Down key", [](HWND d, const Row &r) { PressKey(GetDlgItem(d, r.edit), VK_DOWN); }, -1},
    {"click on the up arrow", [](HWND d, const Row &r) { ClickArrow(d, r, true); }, +1},
    {"click on the down arrow", [](HWND d, const Row &r) { ClickArrow(d, r, false); }, -1},
};
const Step &kUpKey = kSteps[0];
const Step &kDownKey = kSteps[1];

void ClickButton(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

IFilterPreview *const kEarlierPreview = reinterpret_cast<IFilterPreview *>(uintptr_t{0x5EED});

class ConfigDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The host's part: the plug-in relies on it having registered the up-down class.
        HMODULE comctl = LoadLibraryA("comctl32.dll");
        auto init = reinterpret_cast<BOOL(WINAPI *)(const INITCOMMONCONTROLSEX *)>(
            reinterpret_cast<void *>(GetProcAddress(comctl, "InitCommonControlsEx")));
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_UPDOWN_CLASS;
        ASSERT_TRUE(init != nullptr && init(&controls));
        Expected<std::unique_ptr<PluginUnderTest>> loaded = PluginUnderTest::Load(pluginPath);
        ASSERT_TRUE(loaded.ok()) << loaded.failure().message;
        plugin_ = loaded->release();
        parent_ = CreateWindowExA(0, "Static", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(parent_);
        delete plugin_;
    }

    void SetUp() override {
        ASSERT_NE(plugin_, nullptr) << "cannot load " << pluginPath;
        plugin_->ResetInstance();
        BorderSettings &s = Settings();
        if (sizeof(void *) == 8) {  // where a pointer cut to 32 bits would show
            EXPECT_GT(reinterpret_cast<uintptr_t>(&s), uintptr_t{0xFFFFFFFF});
        }
        for (size_t k = 0; k < std::size(kRows); ++k)
            kRows[k].Field(s) = static_cast<int32_t>(10 + 3 * k);
        s.processTopBottomFirst = false;
        s.colourRed = 12;
        s.colourGreen = 34;
        s.colourBlue = 56;
        s.borderColour = 0xDEADBEEF;
        s.preview = kEarlierPreview;
        std::vector<int> edits;
        for (const Row &row : kRows)
            edits.push_back(row.edit);
        preview_ = std::make_unique<RecordingPreview>(s, edits);
        plugin_->Activation().ifp = preview_.get();
    }

    BorderSettings &Settings() { return plugin_->Settings(); }
    std::vector<PreviewCall> &Calls() { return preview_->calls; }
    int Run(const std::function<void(HWND)> &script) {
        return RunConfigure(*plugin_, parent_, script);
    }

    static PluginUnderTest *plugin_;
    static HWND parent_;
    std::unique_ptr<RecordingPreview> preview_;
};
PluginUnderTest *ConfigDialog::plugin_ = nullptr;
HWND ConfigDialog::parent_ = nullptr;

TEST_F(ConfigDialog, OpensShowingEveryFieldTogglesThePreviewAndAttachesTheButtonLast) {
    HWND seen = nullptr, button = nullptr;
    EXPECT_EQ(1, Run([&](HWND dialog) {
                  seen = dialog;
                  button = GetDlgItem(dialog, IDC_SHOW_PREVIEW);
                  EXPECT_EQ(parent_, GetWindow(dialog, GW_OWNER));
                  for (const Row &row : kRows) {
                      SCOPED_TRACE(row.name);
                      EXPECT_EQ(std::to_string(row.Field(Settings())),
                                ControlText(dialog, row.edit));
                      EXPECT_EQ(row.Field(Settings()), UpDownPosition(dialog, row));
                  }
                  HWND order = GetDlgItem(dialog, IDC_TOP_BOTTOM_FIRST);
                  EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_TOP_BOTTOM_FIRST));
                  EXPECT_FALSE(IsWindowVisible(order));
                  EXPECT_FALSE(IsWindowEnabled(order));
                  EXPECT_EQ("12", ControlText(dialog, IDC_COLOUR_RED));
                  EXPECT_EQ("34", ControlText(dialog, IDC_COLOUR_GREEN));
                  EXPECT_EQ("56", ControlText(dialog, IDC_COLOUR_BLUE));
                  ClickButton(dialog, IDC_SHOW_PREVIEW);
                  ClickButton(dialog, IDC_SHOW_PREVIEW);
                  ClickButton(dialog, IDCANCEL);
              }));
    ASSERT_EQ(4u, Calls().size());
    std::vector<PreviewCall::Kind> kinds;
    for (const PreviewCall &call : Calls())
        kinds.push_back(call.kind);
    EXPECT_EQ((std::vector<PreviewCall::Kind>{PreviewCall::Toggle, PreviewCall::InitButton,
                                              PreviewCall::Toggle, PreviewCall::Toggle}),
              kinds);
    for (int k : {0, 2, 3})
        EXPECT_EQ(seen, Calls()[k].window);
    EXPECT_EQ(button, Calls()[1].window);
    std::vector<std::string> filled;
    for (const Row &row : kRows)
        filled.push_back(std::to_string(row.Field(Settings())));
    EXPECT_EQ(filled, Calls()[1].dialogTexts);  // the button is attached after the filling
}

TEST_F(ConfigDialog, EachStepChangesOnlyItsRowAndRedoesThePreviewOnce) {
    BorderSettings expected = Settings();
    expected.preview = preview_.get();
    EXPECT_EQ(1, Run([&](HWND dialog) {
                  for (const Step &step : kSteps) {
                      for (const Row &row : kRows) {
                          SCOPED_TRACE(std::string(row.name) + ", " + step.name);
                          size_t callsBefore = Calls().size();
                          row.Field(expected) += step.delta;
                          step.apply(dialog, row);
                          EXPECT_EQ(Fields(expected), Fields(Settings()));
                          ASSERT_EQ(callsBefore + 1, Calls().size());
                          EXPECT_EQ(PreviewCall::Redo, Calls().back().kind);
                          EXPECT_EQ(Fields(expected), Fields(Calls().back().settings));
                          EXPECT_EQ(std::to_string(row.Field(expected)),
                                    ControlText(dialog, row.edit));
                      }
                  }
                  ClickButton(dialog, IDCANCEL);
              }));
}

TEST_F(ConfigDialog, ARepeatedPositionRedoesOnceAndOtherSendersNothing) {
    const Row &row = kRows[5];
    BorderSettings expected = Settings();
    expected.preview = preview_.get();
    row.Field(expected) = 200;
    Run([&](HWND dialog) {
        HWND upDown = GetDlgItem(dialog, row.upDown);
        SendMessageA(upDown, UDM_SETPOS, 0, 200);
        size_t callsBefore = Calls().size();
        for (WPARAM code : {SB_THUMBPOSITION, SB_ENDSCROLL, SB_THUMBPOSITION})
            SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(code, 200),
                         reinterpret_cast<LPARAM>(upDown));
        for (LPARAM other : {reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)), LPARAM{0}})
            SendMessageA(dialog, WM_VSCROLL, SB_THUMBPOSITION, other);
        EXPECT_EQ(callsBefore + 1, Calls().size());
        EXPECT_EQ(Fields(expected), Fields(Settings()));
        ClickButton(dialog, IDCANCEL);
    });
}

TEST_F(ConfigDialog, AValueOutOfRangeIsLeftAloneUntilItsUpDownIsUsed) {
    struct Case {
        const Row &row;
        int32_t stored;
        const Step &step;
    } cases[] = {{kRows[0], 300, kDownKey}, {kRows[7], -5, kUpKey}, {kRows[9], 70000, kDownKey}};
    for (const Case &c : cases)
        c.row.Field(Settings()) = c.stored;
    Run([&](HWND dialog) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.row.name);
            EXPECT_EQ(c.stored, c.row.Field(Settings()));
            c.step.apply(dialog, c.row);
            int position = UpDownPosition(dialog, c.row);
            EXPECT_GE(position, 0);
            EXPECT_LE(position, 255);
            EXPECT_EQ(position, c.row.Field(Settings()));
        }
        ClickButton(dialog, IDOK);
    });
}

TEST_F(ConfigDialog, CancelEscapeAndTheCloseBoxPutTheWholeRecordBack) {
    struct Ending {
        const char *name;
        void (*end)(HWND dialog);
    } endings[] = {
        {"Cancel", [](HWND d) { ClickButton(d, IDCANCEL); }},
        // Keys go through the dialog's message loop, as typed keys do.
        {"Escape", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1); }},
        {"WM_CLOSE", [](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); }},
        {"close box", [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Ending &ending : endings) {
        SCOPED_TRACE(ending.name);
        const std::vector<long long> before = Fields(Settings());
        Calls().clear();
        EXPECT_EQ(1, Run([&](HWND dialog) {
                      kUpKey.apply(dialog, kRows[3]);
                      kDownKey.apply(dialog, kRows[12]);
                      ending.end(dialog);
                  }));
        EXPECT_EQ(before, Fields(Settings()));
        EXPECT_EQ(4u, Calls().size());  // no call when the dialog ends
    }
}

TEST_F(ConfigDialog, OkKeepsTheStepsAndRepacksTheColour) {
    BorderSettings expected = Settings();
    expected.preview = preview_.get();
    expected.borderColour = 0x0C2238;  // 12, 34, 56
    kRows[2].Field(expected) += 1;
    kRows[14].Field(expected) -= 1;
    EXPECT_EQ(0, Run([](HWND dialog) {
                  kUpKey.apply(dialog, kRows[2]);
                  kDownKey.apply(dialog, kRows[14]);
                  ClickButton(dialog, IDOK);
              }));
    EXPECT_EQ(Fields(expected), Fields(Settings()));
}

TEST_F(ConfigDialog, WithoutAPreviewControllerTheDialogStillWorks) {
    plugin_->Activation().ifp = nullptr;
    BorderSettings expected = Settings();
    expected.preview = nullptr;
    expected.borderColour = 0x0C2238;
    kRows[0].Field(expected) += 1;
    EXPECT_EQ(0, Run([](HWND dialog) {
                  kUpKey.apply(dialog, kRows[0]);
                  ClickButton(dialog, IDC_SHOW_PREVIEW);
                  ClickButton(dialog, IDOK);
              }));
    EXPECT_EQ(Fields(expected), Fields(Settings()));
    EXPECT_TRUE(Calls().empty());
}

// Last, as it takes the up-down class away from the process: a dialog that cannot be created,
// for want of its template or of the up-down class, answers as for a cancel.
TEST_F(ConfigDialog, ADialogThatCannotBeCreatedLeavesTheRecordAsItWas) {
    const std::vector<long long> before = Fields(Settings());
    auto mustNotOpen = [](HWND dialog) {
        ADD_FAILURE() << "the dialog opened";
        ClickButton(dialog, IDCANCEL);
    };
    FilterDefinition elsewhere = plugin_->Definition();
    FilterModule withoutTemplate{nullptr, nullptr, GetModuleHandleA(nullptr)};
    elsewhere.module = &withoutTemplate;
    plugin_->Activation().filter = &elsewhere;
    EXPECT_EQ(1, Run(mustNotOpen));
    EXPECT_EQ(before, Fields(Settings()));

    plugin_->Activation().filter = &plugin_->Definition();
    ASSERT_TRUE(UnregisterClassA(UPDOWN_CLASSA, GetModuleHandleA("comctl32.dll")));
    EXPECT_EQ(1, Run(mustNotOpen));
    EXPECT_EQ(before, Fields(Settings()));
    EXPECT_TRUE(Calls().empty());
}

}  // namespace
}  // namespace kantora

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s PATH_TO_PLUGIN [gtest options]\n", argv[0]);
        return 2;
    }
    kantora::pluginPath = argv[1];
    return RUN_ALL_TESTS();
}
