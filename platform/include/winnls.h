// Code pages and conversions between them and UTF-16.
#pragma once
#include "windef.h"
