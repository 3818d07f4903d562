// Resource and control identifiers of Varnet.dll.
#pragma once

// Dialog templates
#define IDD_FILE_DELETE_REQUEST 148
#define IDD_FOLDER_TREE 149
#define IDD_PROGRESS_KILL 151

// Icons
#define IDR_MAINFRAME 128       // dialog icon, 32 x 32
#define IDI_DRIVE 129           // drive list image, 16 x 16
#define IDI_FOLDER_OPEN 130     // tree: selected folder, 16 x 16
#define IDI_FOLDER_CLOSED 131   // tree: folder, 16 x 16
#define IDI_DRIVE_ROOT 132      // tree: a drive's top node, 16 x 16
#define IDI_MAKE_FOLDER 135     // create-folder icon static, 32 x 32
#define IDI_FOLDER_SEARCH 136   // carried, not loaded, 32 x 32
#define IDI_BUSY 138            // an icon static while its command runs, 32 x 32
#define IDI_DELETE_FOLDER 147   // delete-folder icon static, 32 x 32

// Controls of the folder dialog (149)
#define IDC_FOLDER_TREE 1003
#define IDC_CBX_DRIVES 1005
#define IDC_EDIT_PATH 1007
#define IDC_BN_EXPAND 1008
#define IDC_STATIC_MAKEFOLDER 1015
#define IDC_EDIT_ERROR 1016
#define IDC_STATIC_DELETEFOLDER 1017

// Controls of the progress dialog (151)
#define IDC_BN_KILL 1009
#define IDC_PROGRESS_SCAN 1010
#define IDC_EDIT_SCAN_TEXT 1011

// Controls of the file deletion request (148)
#define IDC_BN_NO 4
#define IDC_BN_YES_TO_ALL 3
#define IDC_BN_YES 1017
#define IDC_EDIT_FILE_PATH 1018
#define IDC_EDIT_REASON 1019

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
