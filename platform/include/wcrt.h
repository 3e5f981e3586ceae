// The wide C runtime over char16_t (the host's wchar_t is 32-bit, so these are the layer's own).
#pragma once
#include "windef.h"
