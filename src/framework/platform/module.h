// The module whose resources the program loads.
#pragma once

#include "platform/win.h"

// The application's module when there is an application, else the executable's.
HINSTANCE AfxGetResourceHandle();
