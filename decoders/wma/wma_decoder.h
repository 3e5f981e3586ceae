// The WMA decoder module: Windows Media Audio files decoded by the WMA decoding library, read
// through the record's stream object; files the library refuses go to the Windows Media module,
// which then takes every call until the next Play.
#pragma once
#include <windows.h>

#include "core/interface/dec_module.h"

extern DecModule WmaDecoder;

// The extension filter: "*.WMA", plus the extension the registry gives for audio/x-ms-wma when
// it is another; the filter's description follows its terminating zero.
LPCWSTR BuildWmaExtensionList();
