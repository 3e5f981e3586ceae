// NetInputSource: the stream-object record for "http://" URLs. The core registers it beside the
// file reader; each use is a copy whose state word holds its own CHttpStream.
#pragma once
#include <windows.h>

#include "core/interface/input_source.h"

class CHttpStream;

// The static record (registered by the core; never opened itself).
InputSource* NetInputSourceRecord();
// The stream object of a copy, when it is the copy's own; else null.
CHttpStream* NetStreamOf(InputSource* source);

// Slots that the reading side defines (net_input_read.cpp).
int NetInputRead(InputSource* source, void* buffer, int size, int count);
int NetInputSeek(InputSource* source, int origin, int offset);
