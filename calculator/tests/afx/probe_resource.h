// Resource ids of the framework tests' probe dialog.
#pragma once

#define IDD_PROBE 200
#define IDS_PROBE_TEXT 300
#define IDS_PROBE_MISSING 301

#define IDC_PROBE_STATIC -1
#define IDC_PROBE_EDIT 2000
#define IDC_PROBE_NOTE 2001
#define IDC_PROBE_NUMBER 2002

// Group A, listed in the template as A_FIRST, A_SECOND, A_THIRD: ids deliberately descending.
#define IDC_PROBE_A_FIRST 2030
#define IDC_PROBE_A_SECOND 2020
#define IDC_PROBE_A_THIRD 2010
#define IDC_PROBE_B_FIRST 2040
#define IDC_PROBE_B_SECOND 2041
