// Precedence climbing over the binary operators; unary operators and brackets in Primary.
// Arithmetic is done in 64 bits and wraps like the 32-bit values it ends up in.
#include "zbrc/rc_expr.h"

namespace zb::rc {
namespace {

struct Binary {
  const char* op;
  int precedence;
};

constexpr Binary kBinary[] = {
    {"||", 1}, {"&&", 2}, {"|", 3},  {"^", 4},  {"&", 5},  {"==", 6}, {"!=", 6}, {"<", 7}, {">", 7}, {"<=", 7},
    {">=", 7}, {"<<", 8}, {">>", 8}, {"+", 9},  {"-", 9},  {"*", 10}, {"/", 10}, {"%", 10},
};

int PrecedenceOf(const Token& t) {
  if (t.kind != Token::Punct) return 0;
  for (const Binary& b : kBinary)
    if (t.text == b.op) return b.precedence;
  return 0;
}

int64_t Apply(const Token& op, int64_t a, int64_t b) {
  const std::string& o = op.text;
  if ((o == "/" || o == "%") && b == 0) throw Error(Where(op), "division by zero");
  if (o == "||") return a || b;
  if (o == "&&") return a && b;
  if (o == "|") return a | b;
  if (o == "^") return a ^ b;
  if (o == "&") return a & b;
  if (o == "==") return a == b;
  if (o == "!=") return a != b;
  if (o == "<") return a < b;
  if (o == ">") return a > b;
  if (o == "<=") return a <= b;
  if (o == ">=") return a >= b;
  if (o == "<<") return static_cast<int64_t>(static_cast<uint64_t>(a) << (b & 63));
  if (o == ">>") return a >> (b & 63);
  if (o == "+") return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
  if (o == "-") return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
  if (o == "*") return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
  if (o == "/") return a / b;
  return a % b;
}

int64_t Climb(const std::vector<Token>& t, size_t& pos, int minimum);

int64_t Primary(const std::vector<Token>& t, size_t& pos) {
  const Token& tok = t[pos];
  if (tok.kind == Token::Number) {
    ++pos;
    return tok.value;
  }
  if (tok.kind == Token::Punct) {
    if (tok.text == "(") {
      ++pos;
      int64_t v = Climb(t, pos, 1);
      if (t[pos].text != ")") throw Error(Where(t[pos]), "a \")\" is missing");
      ++pos;
      return v;
    }
    if (tok.text == "-" || tok.text == "~" || tok.text == "!" || tok.text == "+") {
      ++pos;
      int64_t v = Primary(t, pos);
      if (tok.text == "-") return static_cast<int64_t>(0 - static_cast<uint64_t>(v));
      if (tok.text == "~") return ~v & 0xFFFFFFFF;
      if (tok.text == "!") return !v;
      return v;
    }
  }
  if (tok.kind == Token::Identifier) throw Error(Where(tok), "unknown name \"" + tok.text + "\"");
  if (tok.kind == Token::End) throw Error(Where(tok), "an expression ends too early");
  throw Error(Where(tok), "a number was expected, not \"" + (tok.kind == Token::String ? std::string("a string") : tok.text) + "\"");
}

int64_t Climb(const std::vector<Token>& t, size_t& pos, int minimum) {
  int64_t left = Primary(t, pos);
  for (;;) {
    int p = PrecedenceOf(t[pos]);
    if (p == 0 || p < minimum) return left;
    const Token& op = t[pos++];
    int64_t right = Climb(t, pos, p + 1);
    left = Apply(op, left, right);
  }
}

}  // namespace

int64_t Evaluate(const std::vector<Token>& tokens, size_t& pos) { return Climb(tokens, pos, 1); }

int64_t EvaluateOperand(const std::vector<Token>& tokens, size_t& pos) { return Climb(tokens, pos, 4); }

bool StartsExpression(const Token& t) {
  return t.kind == Token::Number || (t.kind == Token::Punct && (t.text == "(" || t.text == "-" || t.text == "~" || t.text == "+" || t.text == "!"));
}

}  // namespace zb::rc
