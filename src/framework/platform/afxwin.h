// The whole application framework.
#pragma once

#include "platform/app.h"
#include "platform/cmdtarget.h"
#include "platform/cstring.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/module.h"
#include "platform/wnd.h"
