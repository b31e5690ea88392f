// Resource ids of the settings dialog (shared by its .rc file and its code).
#pragma once

#define IDD_SETTINGS 320
#define IDC_SETTINGS_LABEL 320
#define IDC_CURRENT_LOCATION 321
#define IDC_SET_NEW_LOCATION 322
#define IDC_RESET_SETTINGS 323
#define IDC_ALERT_MINUTES_LABEL 324
#define IDC_ALERT_MINUTES 325
