// Control ids of the test plug-in's dialog.
#pragma once

#define IDD_FAKE_DIALOG 101
#define IDC_FAKE_SHOW_PREVIEW 5
#define IDC_FAKE_ROWS_EDIT 1025
#define IDC_FAKE_ROWS_SPIN 1026
