// The WinSock 1.1 header of the device: the same calls and records as winsock2.h, which it is.
#pragma once
#include "winsock2.h"
