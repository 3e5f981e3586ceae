// The whole COM and automation surface in one include, as device code expects of ole2.h.
#pragma once
#include "objbase.h"
#include "oleauto.h"
#include "ocidl.h"
