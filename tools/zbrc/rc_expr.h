// Integer expressions of resource scripts and #if lines: C's operators and precedence over
// numbers (names are macros already expanded by then).
#pragma once
#include <vector>

#include "zbrc/rc_source.h"

namespace zb::rc {

// Evaluates from tokens[pos] on, leaving pos after the expression.
int64_t Evaluate(const std::vector<Token>& tokens, size_t& pos);

// One operand of a "|" chain: everything that binds tighter than "|" (style lists use it to
// take "NOT x" terms apart).
int64_t EvaluateOperand(const std::vector<Token>& tokens, size_t& pos);

// Whether tokens[pos] can start an expression (a number, a sign, a bracket).
bool StartsExpression(const Token& t);

}  // namespace zb::rc
