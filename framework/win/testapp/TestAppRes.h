// Resource ids of the framework's test MDI application.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_PROJECTTYPE 129
#define ID_EDIT_TOUCH 32771
#define ID_VIEW_PING 32772
#define ID_INDICATOR_PROJECTS 32773
#define IDD_TEST_DIALOG 200
#define IDC_TEST_EDIT 201
#define IDD_TEST_PAGE1 210
#define IDD_TEST_PAGE2 211
