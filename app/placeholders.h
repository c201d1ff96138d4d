// Stand-ins for functions of application modules that are not written yet.
// Each one is named for the real function. Whoever writes the real one
// deletes its declaration here and its body in placeholders.cpp, and declares
// it in the module's own header, which this file includes once it exists.
#pragma once
#include <cstdint>

#if __has_include("sevenseg.h")
#include "sevenseg.h"
#endif
#if __has_include("timer_window.h")
#include "timer_window.h"
#endif
#if __has_include("settings_window.h")
#include "settings_window.h"
#endif
#if __has_include("timeup.h")
#include "timeup.h"
#endif
