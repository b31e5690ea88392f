// Resource identifiers of the editor's windows. Ranges: 100-199 dialog templates,
// 200-299 controls of the main window. Icons and bitmaps are named ("Alight", "Today", ...).
#pragma once

#define IDD_MAIN_DIALOG 100

// Calendar arrows (static icons that notify clicks).
#define IDC_LEFT_ARROW 251
#define IDC_RIGHT_ARROW 252

// The reminder form.
#define IDC_KIND 201
#define IDC_KIND_LABEL 202
#define IDC_DESCRIPTION 203
#define IDC_DESCRIPTION_LABEL 204
#define IDC_DATE 205
#define IDC_DATE_LABEL 206
#define IDC_TIME_LABEL 207
#define IDC_TIME 208
#define IDC_NOTIFY 209
#define IDC_NOTIFY_LABEL 210
#define IDC_WEEKDAY 211
#define IDC_DAYS_BEFORE 212
#define IDC_PERIOD 213
#define IDC_PERIOD_LABEL 214

// Frequency: option button id minus IDC_FREQUENCY_GROUP is the Frequency code.
#define IDC_FREQUENCY_GROUP 220
#define IDC_ONE_TIME 221
#define IDC_ANNUAL 222
#define IDC_MONTHLY 223
#define IDC_WEEKLY 224
#define IDC_WEEKDAY_MONTHS 225

// Commands.
#define IDC_NEW 230
#define IDC_ADD 231
#define IDC_DELETE 232
#define IDC_CANCEL 233
#define IDC_NEXT 241
#define IDC_PREV 242
#define IDC_LIST 243
#define IDC_HELP_BUTTON 245
#define IDC_SETTINGS 246

#define IDC_STATUS 250
