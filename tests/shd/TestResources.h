// Resource ids of the test-only templates.
#pragma once

#define IDD_TEST_DIALOG 9001
#define IDD_TEST_PAGE_ONE 9002
#define IDD_TEST_PAGE_TWO 9003
#define IDC_TEST_EDIT 9010
