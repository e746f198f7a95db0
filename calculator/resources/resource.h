// Resource ids of the calculator Mensurio: each named once, here.
#pragma once

// Dialog templates, icon, string.
#define IDD_ABOUTBOX 100
#define IDD_MENSURIO_DIALOG 102
#define IDR_MAINFRAME 128
#define IDS_ABOUTBOX 20

// System-menu command that opens the About box (the system keeps the low four bits).
#define IDM_ABOUTBOX 0x0010

// Unnamed controls: texts, group boxes, the separator.
#define IDC_STATIC -1

// Main dialog: the six number edits.
#define IDC_SOURCE_WIDTH 1000
#define IDC_SOURCE_HEIGHT 1001
#define IDC_DEST_WIDTH 1002
#define IDC_DEST_HEIGHT 1003
#define IDC_HEIGHT_MULTIPLE 1006
#define IDC_WIDTH_MULTIPLE 1007

// Main dialog: which destination side is fixed.
#define IDC_USE_DEST_WIDTH 1004
#define IDC_USE_DEST_HEIGHT 1005

// Main dialog: the source aspect group, in id order (not template order).
#define IDC_SOURCE_PAL 1009
#define IDC_SOURCE_NTSC 1010
#define IDC_SOURCE_ANAMORPHIC_PAL 1011
#define IDC_SOURCE_ANAMORPHIC_NTSC 1012
#define IDC_SOURCE_SQUARE 1013
#define IDC_SOURCE_SVCD_576 1020
#define IDC_SOURCE_SVCD_480 1022
#define IDC_SOURCE_MONITOR_1280 1026

// Main dialog: the destination aspect group.
#define IDC_DEST_PAL 1014
#define IDC_DEST_NTSC 1015
#define IDC_DEST_ANAMORPHIC_PAL 1016
#define IDC_DEST_ANAMORPHIC_NTSC 1017
#define IDC_DEST_SQUARE 1018
#define IDC_DEST_SVCD_576 1021
#define IDC_DEST_SVCD_480 1023
#define IDC_DEST_MONITOR_1280 1027

// Main dialog: the result text.
#define IDC_RESULT 1019

// Main dialog: reduce or expand the source.
#define IDC_REDUCE 1024
#define IDC_EXPAND 1025
