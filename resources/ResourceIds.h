/* Resource identifiers shared by the .rc files and the program. Plain #defines: windres reads
   this file too. */
#ifndef QB_RESOURCE_IDS_H
#define QB_RESOURCE_IDS_H

#define IDI_MAINICON 1

/* Standard dialog button captions (localisable). */
#define IDS_MSGDLG_OK 1001
#define IDS_MSGDLG_YES 1002
#define IDS_MSGDLG_NO 1003
#define IDS_MSGDLG_CANCEL 1004
#define IDS_MSGDLG_RETRY 1005
#define IDS_MSGDLG_ABORT 1006
#define IDS_MSGDLG_IGNORE 1007
#define IDS_MSGDLG_HELP 1008
#define IDS_MSGDLG_ABORT_PLAIN 1009
#define IDS_MSGDLG_CONTINUE 1010

/* The expand control's captions when the dialog names none, as the native dialog shows them. */
#define IDS_TD_SEE_DETAILS 1011
#define IDS_TD_HIDE_DETAILS 1012

#endif
