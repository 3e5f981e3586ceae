// Comparison of tag values under the operator codes of pattern items, and the free-text search
// expression ("beat* -live", "^the", "rock or jazz") behind operator 9.
#pragma once
#include <windows.h>

#include <string_view>

#include "search_expression.h"
#include "tag_value.h"

// The operator a pattern tag gets when it names none: 1, 21, 41, 51, 61, or 91 when multi-valued.
LONG DefaultOperator(DWORD id);
// The same for the single value of the id's type, ignoring the multi-instance flag.
LONG DefaultValueOperator(DWORD id);
// The type's "differs" code: 2, 24, 42, 52 or 62.
LONG DiffersValueOperator(DWORD id);
// Whether the code is one that a tag of this id can carry (100 fits every tag).
bool OperatorFitsTag(LONG code, DWORD id);

// Stored value v against pattern value p under one value operator (not 91-95); values of
// different tags never match, and a code foreign to the type is false.
bool EvaluateOperator(LONG code, const CTagValue& v, const CTagValue& p);
