#pragma once
// <windows.h> for the window's sources. Its LoadString macro would rename
// the core's string loader of the same name.

#include <windows.h>
#undef LoadString
