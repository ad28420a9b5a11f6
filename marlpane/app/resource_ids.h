// Resource and control ids of marlpane, shared by the resource script and
// the code (plain macros, so that the resource compiler reads them too).
#pragma once

// Dialogs.
#define IDD_MAIN_DIALOG 101
#define IDD_ABOUT_BOX 200
#define IDD_CONFLICT_QUESTION 201

// Icon groups: 102 is the window icon; the others are the row type icons.
#define IDI_MARLPANE 102
#define IDI_ROW_TEXT 103
#define IDI_ROW_FOLDER 104
#define IDI_ROW_EMAIL 105
#define IDI_ROW_HEX_TEXT 106
#define IDI_ROW_IMAGE_FILE 107
#define IDI_ROW_CHOICE 108
#define IDI_ROW_COLOUR 109
#define IDI_ROW_NUMBER 110
#define IDI_ROW_TOGGLE 111
#define IDI_ROW_PASSWORD 112
#define IDI_ROW_READ_ONLY 113
#define IDI_ROW_DATE 114
#define IDI_ROW_BLANK 115
#define IDI_ROW_TIME 116
#define IDI_ROW_MULTI_LINE 118
#define IDI_ROW_FILE 119
#define IDI_ROW_DRIVE 120
#define IDI_ROW_REMOVABLE_DRIVE 121
#define IDI_ROW_CD_DRIVE 122
#define IDI_ROW_FONT 123
#define IDI_ROW_WINDOW 124

// Controls of the main dialog. 1 and 2 (IDOK, IDCANCEL) are the hidden
// buttons that receive Enter and Escape; 1008 and 1009 are the command ids
// of the system menu's entries.
#define IDC_TIP_LINE 1001
#define IDC_OPTION_LIST 1002
#define IDC_SAVE 1005
#define IDC_CANCEL_BUTTON 1006
#define IDC_BANNER 1007
#define IDC_ABOUT 1008
#define IDC_WEB_SITE 1009

// Commands of the editor's keys and row menu, and the find field's controls
// (made at run time in the tip line's place).
#define IDC_FIND_OPEN 1010
#define IDC_FIND_NEXT 1011
#define IDC_FIND_PREVIOUS 1012
#define IDC_FIND_CLOSE 1013
#define IDC_UNDO 1014
#define IDC_REDO 1015
#define IDC_EDIT_ROW 1016
#define IDC_REVERT_ROW 1017
#define IDC_COPY_VALUE 1018
#define IDC_COPY_LINE 1019
#define IDC_ROW_MENU 1020
#define IDC_FIND_FIELD 1021
#define IDC_FIND_COUNT 1022
#define IDC_FIND_LABEL 1023

// Controls of the about box (their texts are set at run time in the
// editor's language).
#define IDC_ABOUT_ICON 1101
#define IDC_ABOUT_VERSION 1102
#define IDC_ABOUT_NAME 1103
#define IDC_ABOUT_DISTRIBUTION 1104
#define IDC_ABOUT_TERMS 1105

// Controls of the question about options changed by another program too
// (their texts are set at run time, see marlpane/editors/editor_texts.h).
#define IDC_CONFLICT_TEXT 1201
#define IDC_CONFLICT_LIST 1202
#define IDC_CONFLICT_MORE 1203
#define IDC_KEEP_MINE 1204
#define IDC_KEEP_FILE 1205

// The version, in the version resource and the about box: the release's
// (VERSION at the top of the source tree).
#include "product_version.h"
#define MARLPANE_VERSION PRODUCT_VERSION_NUMBERS
#define MARLPANE_VERSION_TEXT PRODUCT_VERSION_TEXT
