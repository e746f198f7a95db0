// Message maps and the dialog procedure: commands, results, the default handling, and the
// application's share of the commands.
#include <gtest/gtest.h>

#include "probe_dialog.h"
#include "probe_resource.h"

namespace {

// The application object: it takes the commands that no window handles.
class ProbeApp : public CWinApp {
public:
    int helpCommands = 0;

protected:
    void OnHelpCommand() { ++helpCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeApp, CWinApp)
    ON_COMMAND(ID_HELP, &ProbeApp::OnHelpCommand)
END_MESSAGE_MAP()

ProbeApp g_probeApp;

TEST(DialogCommands, OkSavesTheFieldsAndEndsTheDialogWithIdOk) {
    ProbeDialog dlg([](ProbeDialog &d) {
        SetWindowTextA(d.Item(IDC_PROBE_EDIT), "typed");
        SendMessageA(d.m_hWnd, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.Run(), IDOK);
    EXPECT_EQ(std::string(dlg.m_text), "typed");
}

TEST(DialogCommands, CancelEndsTheDialogWithoutSaving) {
    ProbeDialog dlg([](ProbeDialog &d) {
        SetWindowTextA(d.Item(IDC_PROBE_EDIT), "typed");
        SendMessageA(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    dlg.m_text = "kept";
    EXPECT_EQ(dlg.Run(), IDCANCEL);
    EXPECT_EQ(std::string(dlg.m_text), "kept");
}

TEST(DialogCommands, ACommandNoWindowHandlesGoesToTheApplication) {
    int before = g_probeApp.helpCommands;
    ProbeDialog dlg([](ProbeDialog &d) {
        SendMessageA(d.m_hWnd, WM_COMMAND, ID_HELP, 0);
        // A control's notification is not a command for the application.
        SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED),
                     reinterpret_cast<LPARAM>(d.Item(IDC_PROBE_NOTE)));
    });
    EXPECT_EQ(dlg.Run(), ProbeDialog::kStepsDone);
    EXPECT_EQ(g_probeApp.helpCommands, before + 1);
}

TEST(DialogMessages, AHandlersResultComesBackToTheSender) {
    ProbeDialog dlg([](ProbeDialog &d) {
        EXPECT_EQ(SendMessageA(d.m_hWnd, WM_QUERYDRAGICON, 0, 0), ProbeDialog::kDragIcon);
        SendMessageA(d.m_hWnd, WM_SYSCOMMAND, 0x0020, 0);
        EXPECT_EQ(d.lastSysCommand, 0x0020u);
    });
    EXPECT_EQ(dlg.Run(), ProbeDialog::kStepsDone);
}

TEST(DialogMessages, DefaultHandsTheMessageToTheDialogManager) {
    // Close from the system menu: with the default handling it becomes IDCANCEL.
    ProbeDialog closing([](ProbeDialog &d) {
        d.sysCommandToDefault = true;
        SendMessageA(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(closing.Run(), IDCANCEL);

    // Without it the handler has swallowed the command.
    ProbeDialog swallowing(
        [](ProbeDialog &d) { SendMessageA(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(swallowing.Run(), ProbeDialog::kStepsDone);
    EXPECT_EQ(swallowing.lastSysCommand, static_cast<UINT>(SC_CLOSE));
}

TEST(DialogMessages, TheApplicationsMainWindowIsForgottenWhenItCloses) {
    ProbeDialog dlg([](ProbeDialog &d) { EXPECT_EQ(AfxGetMainWnd(), &d); });
    g_probeApp.m_pMainWnd = &dlg;
    EXPECT_EQ(dlg.Run(), ProbeDialog::kStepsDone);
    EXPECT_EQ(g_probeApp.m_pMainWnd, nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace
