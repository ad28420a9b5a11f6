// Resource and control ids of the updater, shared by the resource script and
// the code (plain defines: the resource compiler reads this file too).
#pragma once

#define IDD_UPDATER 101
#define IDI_UPDATER 103
#define IDD_ABOUT 109

#define IDC_ABOUT_TEXT 1000
#define IDC_NEWS_LINE 1007
#define IDC_STATUS_LINE 1008
#define IDC_CHOICE_1 1013
#define IDC_CHOICE_2 1014
#define IDC_CHOICE_3 1015
#define IDC_PROGRESS 1016
#define IDC_LANGUAGE 1017
#define IDC_ABOUT_PRODUCT 1018
#define IDC_ABOUT_UPDATER 1020
#define IDC_MINIMIZE 1021
#define IDC_VISIT_SITE 1022
#define IDC_SKIP_VERSION 1023

// The release's version (VERSION at the top of the source tree).
#include "product_version.h"
#define TOLLWREN_VERSION_TEXT PRODUCT_VERSION_TEXT
#define TOLLWREN_VERSION_TEXT_U u"" PRODUCT_VERSION_TEXT
#define TOLLWREN_VERSION_NUMBERS PRODUCT_VERSION_NUMBERS
