// Resource ids of the register window, the account dialog, the choice of a
// statement's account, the menu and the icon.
#pragma once

#define IDD_REGISTER 101
#define IDI_CHECKBOOK 103
#define IDR_MAINMENU 104
#define IDD_ACCOUNT 105
#define IDD_CHOOSEACCOUNT 106

// Register window
#define IDC_REGISTER 1001
#define IDC_PAYEE 1002
#define IDC_CREDIT 1004
#define IDC_DEBIT 1005
#define IDC_DATE 1006
#define IDC_CHECKNUM 1007
#define IDC_NEW 1008
#define IDC_EDIT 1009
#define IDC_DELETE 1010
#define IDC_BALANCE 1011
#define IDC_POSTPONE 1012
#define IDC_BALANCETOTAL 1015
#define IDC_BALANCEDAMOUNT 1016

// Account dialog
#define IDC_ACCOUNTNAME 1013
#define IDC_INITIALBALANCE 1014
#define IDC_NOTE 1015

// Choice of a statement file's account
#define IDC_ACCOUNTLIST 1017

// Menu commands
#define ID_SETUP_ACCOUNTDETAILS 40001
#define ID_RECORD_EXIT 40002
#define ID_SETUP_HIDERECONCILED 40003
#define ID_RECORD_REMOVERECONCILED 40004
#define ID_RECORD_REPORT 40005
#define ID_RECORD_IMPORT 40006
#define ID_RECORD_EXPORT 40007

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
