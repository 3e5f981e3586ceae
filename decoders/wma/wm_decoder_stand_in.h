// The Windows Media module as the WMA module reaches it: the record of the module that plays
// files through the platform's Windows Media runtime. Until that module is built, a stand-in
// whose every slot logs that it was reached and refuses.
#pragma once
#include "core/interface/dec_module.h"

extern DecModule WmDecoder;
