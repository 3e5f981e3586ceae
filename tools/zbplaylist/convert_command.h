// zbplaylist convert: reads a playlist file in any layout the reader knows and writes its entries
// in the layout the output name's ending picks, so the reader and writer can be tried by hand.
#pragma once

// IN and OUT are device paths ("\..."), or host paths inside the device folder or one of its
// mounts. 0 when written; 1 with the reason on standard error otherwise.
int RunConvert(const char* in, const char* out);
