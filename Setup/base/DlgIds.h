// Control ids shared by the resource script and the dialog procedure: one id, one role, in every
// template.
#pragma once
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif
#define idOverwrite 4
#define idText 101
#define idBuf 102
#define idBrowse 103
#define idBackup 104
#define idAlways 105
#define idShowLog 106
#define idLink 107
#define idRetry 108
#define idAtRestart 109
#define idFile 110
#define idBar 111
#define idSetupIcon 1
