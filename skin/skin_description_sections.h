// The sections of a sectioned skin description, each line already cut into tokens.
#pragma once
#include <string>
#include <vector>

#include "skin/skin_description.h"

// One key line of the context's current section: 1, or 0 with the error text set.
int ImportDescriptionSectionLine(SkinDescriptionContext* context, const std::vector<std::u16string>& tokens);
// The mask of a description bitmap: magenta pixels transparent (white), ORed with the decoder's
// own mask when there is one (which is deleted). Null when it can't be made.
HBITMAP MakeSkinMaskFromMagenta(HBITMAP bitmap, HBITMAP decoderMask);
