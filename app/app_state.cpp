// The application's global records: one of each for the whole run.
#include "app.h"

AppState g_app;
TimerState g_timer;
DisplayFormat g_format;
Settings g_settings;
