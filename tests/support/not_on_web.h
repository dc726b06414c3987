#pragma once
// A test that needs what the test programs under node lack (threads, other
// processes, named pipes) says so in its name there and is skipped.

#include <gtest/gtest.h>

#ifdef __EMSCRIPTEN__
#define TAVIO_NOT_ON_WEB(name) name##_NotOnWeb
#define TAVIO_SKIP_ON_WEB(reason) GTEST_SKIP() << (reason)
#else
#define TAVIO_NOT_ON_WEB(name) name
#define TAVIO_SKIP_ON_WEB(reason) static_cast<void>(0)
#endif
