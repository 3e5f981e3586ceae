// Reading one entry of an item of any kind through its interface, as a typed value: the
// single-valued entries by the getter of their type, the multi-valued ones in their byte form.
#pragma once
#include "mediaitem.h"
#include "tag_value.h"

bool ReadForeignValue(IMediaItem* item, DWORD id, DWORD instance, CTagValue* value);
