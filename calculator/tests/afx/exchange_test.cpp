// Dialog data exchange: the radio group rule, text loading that leaves equal text alone, and
// notifications held back while an exchange runs.
#include <gtest/gtest.h>

#include <string>

#include "probe_dialog.h"
#include "probe_resource.h"

namespace {

bool Checked(const ProbeDialog &dlg, int id) {
    return SendMessageA(dlg.Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Check(const ProbeDialog &dlg, int id, bool checked) {
    SendMessageA(dlg.Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ClearGroups(const ProbeDialog &dlg) {
    for (int id : {IDC_PROBE_A_FIRST, IDC_PROBE_A_SECOND, IDC_PROBE_A_THIRD, IDC_PROBE_B_FIRST,
                   IDC_PROBE_B_SECOND}) {
        Check(dlg, id, false);
    }
}

void RunProbe(const ProbeDialog::Steps &steps) {
    ProbeDialog dlg(steps);
    ASSERT_EQ(dlg.Run(), ProbeDialog::kStepsDone);
}

std::string Text(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(DdxRadio, SavesThePositionAmongTheGroupsRadioButtonsInTemplateOrder) {
    RunProbe([](ProbeDialog &dlg) {
        // Between the buttons lie a group box, an edit and a check box: none of them counts.
        const int buttons[] = {IDC_PROBE_A_FIRST, IDC_PROBE_A_SECOND, IDC_PROBE_A_THIRD};
        for (int position = 0; position < 3; ++position) {
            ClearGroups(dlg);
            Check(dlg, buttons[position], true);
            SendMessageA(dlg.Item(IDC_PROBE_NUMBER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("5"));
            dlg.UpdateData(TRUE);
            EXPECT_EQ(dlg.m_groupA, position);
        }
    });
}

TEST(DdxRadio, SavesMinusOneWhenNoButtonIsChecked) {
    RunProbe([](ProbeDialog &dlg) {
        ClearGroups(dlg);
        dlg.m_groupA = 1;
        dlg.m_groupB = 1;
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_groupA, -1);
        EXPECT_EQ(dlg.m_groupB, -1);
    });
}

TEST(DdxRadio, AGroupEndsAtTheNextControlThatStartsOne) {
    RunProbe([](ProbeDialog &dlg) {
        ClearGroups(dlg);
        Check(dlg, IDC_PROBE_B_SECOND, true);  // belongs to group B only
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_groupA, -1);
        EXPECT_EQ(dlg.m_groupB, 1);
    });
}

TEST(DdxRadio, LoadingChecksThePositionAndClearsTheRestOfItsGroupOnly) {
    RunProbe([](ProbeDialog &dlg) {
        ClearGroups(dlg);
        Check(dlg, IDC_PROBE_A_FIRST, true);
        Check(dlg, IDC_PROBE_A_THIRD, true);
        dlg.m_groupA = 1;
        dlg.m_groupB = 0;
        dlg.UpdateData(FALSE);
        EXPECT_FALSE(Checked(dlg, IDC_PROBE_A_FIRST));
        EXPECT_TRUE(Checked(dlg, IDC_PROBE_A_SECOND));
        EXPECT_FALSE(Checked(dlg, IDC_PROBE_A_THIRD));
        EXPECT_TRUE(Checked(dlg, IDC_PROBE_B_FIRST));
        EXPECT_FALSE(Checked(dlg, IDC_PROBE_B_SECOND));

        dlg.m_groupA = -1;  // no position: every button of the group cleared
        dlg.UpdateData(FALSE);
        EXPECT_FALSE(Checked(dlg, IDC_PROBE_A_SECOND));
        EXPECT_TRUE(Checked(dlg, IDC_PROBE_B_FIRST));
    });
}

TEST(DdxText, SavesTheControlsWholeText) {
    RunProbe([](ProbeDialog &dlg) {
        std::string longText(700, 'x');
        longText += "end";
        SetWindowTextA(dlg.Item(IDC_PROBE_EDIT), longText.c_str());
        dlg.UpdateData(TRUE);
        EXPECT_EQ(std::string(dlg.m_text), longText);
        SetWindowTextA(dlg.Item(IDC_PROBE_EDIT), "");
        dlg.UpdateData(TRUE);
        EXPECT_TRUE(dlg.m_text.IsEmpty());
    });
}

TEST(DdxText, LoadingEqualTextLeavesTheCaretAndSelectionAlone) {
    RunProbe([](ProbeDialog &dlg) {
        HWND edit = dlg.Item(IDC_PROBE_EDIT);
        SetWindowTextA(edit, "12345");
        SendMessageA(edit, EM_SETSEL, 1, 3);
        dlg.m_text = "12345";
        dlg.UpdateData(FALSE);
        EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELONG(1, 3));

        dlg.m_text = "678";
        dlg.UpdateData(FALSE);
        EXPECT_EQ(Text(edit), "678");
    });
}

TEST(UpdateData, ControlNotificationsRaisedMeanwhileAreNotDispatched) {
    RunProbe([](ProbeDialog &dlg) {
        HWND edit = dlg.Item(IDC_PROBE_EDIT);
        int before = dlg.editChanges;
        dlg.m_text = "changed by the exchange";
        dlg.UpdateData(FALSE);
        EXPECT_EQ(Text(edit), "changed by the exchange");
        EXPECT_EQ(dlg.editChanges, before);

        SetWindowTextA(edit, "changed outside");  // the handler is wired: it counts this one
        EXPECT_EQ(dlg.editChanges, before + 1);

        SendMessageA(dlg.Item(IDC_PROBE_A_SECOND), BM_CLICK, 0, 0);
        EXPECT_EQ(dlg.clicks, 1);
    });
}

TEST(DialogInit, LoadsEveryFieldBeforeTheStepsRun) {
    ProbeDialog dlg([](ProbeDialog &d) {
        EXPECT_EQ(Text(d.Item(IDC_PROBE_EDIT)), "initial");
        EXPECT_TRUE(Checked(d, IDC_PROBE_A_THIRD));
        EXPECT_TRUE(Checked(d, IDC_PROBE_B_SECOND));
        EXPECT_EQ(d.editChanges, 0);
    });
    dlg.m_text = "initial";
    dlg.m_groupA = 2;
    dlg.m_groupB = 1;
    EXPECT_EQ(dlg.Run(), ProbeDialog::kStepsDone);
}

}  // namespace
