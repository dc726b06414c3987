#pragma once
// Resource IDs of tavio.exe, shared by the .rc file and the code.

#define TAVIO_BITMAP_LOGO 10000
#define TAVIO_BITMAP_TEXTURE 10001
#define TAVIO_ICON 10002
// The logo drawn at twice the size, for dense screens.
#define TAVIO_BITMAP_LOGO_2X 10003
