#pragma once
// The editor model for Qt code: Qt defines `slots` as a macro, and the
// configuration record has a field of that name (the pin slots).
#pragma push_macro("slots")
#undef slots
#include "app/editor_model.h"
#include "settings/act_file.h"
#pragma pop_macro("slots")
