#pragma once
// Resource IDs of tavio.exe, shared by the .rc file and the code.

#define TAVIO_BITMAP_LOGO 10000
#define TAVIO_BITMAP_TEXTURE 10001
#define TAVIO_ICON 10002
