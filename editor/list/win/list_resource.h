// Resource identifiers of the list window: its template and controls 300-307.
#pragma once

#define IDD_LIST_DIALOG 110

#define IDC_LIST_BOX 300
#define IDC_LIST_DELETE 302
#define IDC_LIST_BACK 303
#define IDC_LIST_PRINT 304
#define IDC_LIST_CLOSE 305
#define IDC_LIST_CURRENT 306
#define IDC_LIST_ARCHIVE 307
