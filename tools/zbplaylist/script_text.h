// Text between the script (UTF-8, as files and terminals hold it) and the playlist (UTF-16).
#pragma once
#include "device/text.h"

using zb::FromUtf8;
using zb::ToUtf8;
