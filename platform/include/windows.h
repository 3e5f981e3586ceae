// The one header product code includes for the core platform services.
#pragma once
#include "windef.h"
#include "winerror.h"
#include "wcrt.h"
#include "winbase.h"
#include "winnls.h"
#include "winreg.h"
#include "winbase_sync.h"
#include "winbase_mem.h"
#include "msgqueue.h"
#include "winbase_loader.h"
#include "wingdi.h"
#include "winuser.h"
