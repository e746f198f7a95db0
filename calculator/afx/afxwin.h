// The framework layer: a thin set of classes over the Win32 dialog services, 8-bit text only.
#pragma once
#include "afx_app.h"
#include "afx_ddx.h"
#include "afx_dialog.h"
#include "afx_gdi.h"
#include "afx_menu.h"
#include "afx_string.h"
#include "afx_wnd.h"
#include "afxres.h"
