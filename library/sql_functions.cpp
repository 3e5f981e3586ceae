// The library's SQL functions. Each checks its argument count and the texts it needs, and fails
// the statement with "invalid arguments" otherwise; the text tests use the library's case folding.
#include "sql_functions.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "search_expression.h"
#include "sql_database.h"
#include "wide_text.h"

namespace {

std::atomic<LONG> g_textCalls{0};

void Invalid(sqlite3_context* context) { sqlite3_result_error16(context, u"invalid arguments", -1); }

// The argument as UTF-16 text; false when it is absent (NULL). The library stores UTF-8, mostly
// ASCII, which widens as it stands into `buffer`; SQLite's own conversion (an allocation per
// call) is left for the rest.
bool Text(sqlite3_value* value, std::u16string& buffer, std::u16string_view* out) {
  if (sqlite3_value_type(value) == SQLITE_TEXT) {
    const auto* narrow = sqlite3_value_text(value);
    const size_t size = static_cast<size_t>(sqlite3_value_bytes(value));
    if (narrow && std::all_of(narrow, narrow + size, [](unsigned char c) { return c < 0x80; })) {
      buffer.resize(size);  // keeps the buffer's room from call to call
      std::copy(narrow, narrow + size, buffer.begin());
      *out = buffer;
      return true;
    }
  }
  auto* text = static_cast<const char16_t*>(sqlite3_value_text16(value));
  if (!text) return false;
  *out = std::u16string_view(text, static_cast<size_t>(sqlite3_value_bytes16(value)) / sizeof(char16_t));
  return true;
}

// The second argument (the pattern) made ready once per statement run: SQLite keeps it for the
// following rows while the argument stays the same. False when it is absent.
template <typename Ready>
class Pattern {
 public:
  Pattern(sqlite3_context* context, sqlite3_value* value) : context_(context) {
    ready_ = static_cast<const Ready*>(sqlite3_get_auxdata(context, 1));
    if (ready_) return;
    std::u16string buffer;
    std::u16string_view text;
    if (!Text(value, buffer, &text)) return;
    fresh_.reset(new Ready(text));
    ready_ = fresh_.get();
  }
  // Handed to SQLite only now: it may drop it at once, when the argument is not a constant.
  ~Pattern() {
    if (fresh_) sqlite3_set_auxdata(context_, 1, fresh_.release(), [](void* p) { delete static_cast<Ready*>(p); });
  }
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;
  const Ready* get() const { return ready_; }

 private:
  sqlite3_context* context_;
  const Ready* ready_ = nullptr;
  std::unique_ptr<Ready> fresh_;
};

// The shape the four counted text tests share: two texts in, 1 or 0 out.
template <bool (*Test)(std::u16string_view, std::u16string_view)>
void TextTest(sqlite3_context* context, int count, sqlite3_value** values) {
  ++g_textCalls;
  thread_local std::u16string buffer;
  std::u16string_view a;
  if (count != 2 || !Text(values[0], buffer, &a)) return Invalid(context);
  Pattern<std::u16string> b(context, values[1]);
  if (!b.get()) return Invalid(context);
  sqlite3_result_int(context, Test(a, *b.get()) ? 1 : 0);
}

bool Like(std::u16string_view a, std::u16string_view b) { return zblib::EqualNoCase(a, b); }
bool Contains(std::u16string_view text, std::u16string_view part) {
  return !text.empty() && !part.empty() && zblib::FindNoCase(text, part) != std::u16string_view::npos;
}
bool ContainsCase(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}
bool StartsWith(std::u16string_view text, std::u16string_view prefix) { return zblib::StartsWithNoCase(text, prefix); }

void PhraseQuery(sqlite3_context* context, int count, sqlite3_value** values) {
  thread_local std::u16string buffer;
  std::u16string_view text;
  if (count != 2 || sqlite3_value_type(values[0]) != SQLITE_TEXT || sqlite3_value_type(values[1]) != SQLITE_TEXT ||
      !Text(values[0], buffer, &text)) {
    return Invalid(context);
  }
  Pattern<CSearchExpression> expression(context, values[1]);
  if (!expression.get()) return Invalid(context);
  sqlite3_result_int(context, expression.get()->Matches(text) ? 1 : 0);
}

ISqlFunctionHost* Host(sqlite3_context* context) { return static_cast<ISqlFunctionHost*>(sqlite3_user_data(context)); }

void BlobRemoved(sqlite3_context* context, int count, sqlite3_value** values) {
  // A row without bytes (NULL) must stay deletable: it counts as empty.
  const int valueType = count == 4 ? sqlite3_value_type(values[1]) : SQLITE_NULL;
  if (count != 4 || sqlite3_value_type(values[0]) != SQLITE_INTEGER ||
      (valueType != SQLITE_BLOB && valueType != SQLITE_NULL) || sqlite3_value_type(values[2]) != SQLITE_INTEGER ||
      sqlite3_value_type(values[3]) != SQLITE_INTEGER) {
    return Invalid(context);
  }
  const void* bytes = sqlite3_value_blob(values[1]);
  const int size = sqlite3_value_bytes(values[1]);
  if (ISqlFunctionHost* host = Host(context)) {
    host->OnBlobRemoved(sqlite3_value_int(values[0]), bytes, static_cast<DWORD>(size),
                        static_cast<DWORD>(sqlite3_value_int64(values[3])));
  }
  sqlite3_result_null(context);
}

void StringRemoved(sqlite3_context* context, int count, sqlite3_value** values) {
  if (count != 3) return Invalid(context);
  const DWORD tag = static_cast<DWORD>(sqlite3_value_int64(values[0]));
  ISqlFunctionHost* host = Host(context);
  std::u16string buffer;
  std::u16string_view value;
  if (!Text(values[2], buffer, &value)) {
    sqlite3_result_int(context, host && host->WantsValueRemoved(tag) ? 1 : 0);
    return;
  }
  if (host) {
    const std::u16string text(value);
    host->OnValueRemoved(tag, static_cast<DWORD>(sqlite3_value_int64(values[1])), text.c_str());
  }
  sqlite3_result_null(context);
}

struct FunctionRow {
  const char16_t* name;
  SqlFunction function;
  bool host;  // gets the library as user data
};

constexpr FunctionRow kFunctions[] = {
    {u"wphrasequery", PhraseQuery, false},
    {u"wlike", TextTest<Like>, false},
    {u"wcontains", TextTest<Contains>, false},
    {u"wcontainscase", TextTest<ContainsCase>, false},
    {u"wstartswith", TextTest<StartsWith>, false},
    {u"blobremoved", BlobRemoved, true},
    {u"stringremoved", StringRemoved, true},
};

}  // namespace

int RegisterLibraryFunctions(CSqlDatabase& db, ISqlFunctionHost* host) {
  for (const FunctionRow& f : kFunctions) {
    // Registered for any argument count, so a wrong count reaches the function and fails clearly.
    const int rc = db.CreateFunction(f.name, -1, SQLITE_UTF16, f.host ? host : nullptr, f.function);
    if (rc != SQLITE_OK) return rc;
  }
  return 0;
}

LONG TextFunctionCalls() { return g_textCalls.load(); }
void ResetTextFunctionCalls() { g_textCalls.store(0); }
