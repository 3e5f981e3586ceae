// The evaluator of the title-format language and the per-item title cache. One level reads up to
// its stop character; blocks, fields, conditionals and function arguments are nested levels.
#include "title_format.h"

#include <memory>

#include "title_functions.h"
#include "wide_text.h"

namespace {

// Deeper nesting than any title needs; past it the format is refused instead of exhausting
// the stack on hostile input.
constexpr int kMaxDepth = 64;

bool IsDigit(WCHAR c) { return c >= u'0' && c <= u'9'; }

class Evaluator {
 public:
  Evaluator(IMediaItem* item, std::u16string_view format, size_t pos) : item_(item), format_(format), pos_(pos) {}
  size_t Position() const { return pos_; }

  // One level: up to `stop` (0: the end of the text). Meeting `wrongStop` first fails, which is
  // how a function argument list with the wrong number of arguments is told apart.
  HRESULT Level(std::u16string* out, size_t size, WCHAR stop, LONG* missing, WCHAR wrongStop = 0) {
    if (++depth_ > kMaxDepth) return E_FAIL;
    out->clear();
    HRESULT hr = S_OK;
    bool stopped = false;
    while (SUCCEEDED(hr) && pos_ < format_.size() && out->size() < size) {
      const WCHAR c = format_[pos_];
      if (stop != 0 && c == stop) {
        stopped = true;
        break;
      }
      if (wrongStop != 0 && c == wrongStop) {
        hr = E_FAIL;
        break;
      }
      ++pos_;
      switch (c) {
        case u'\\':
          if (pos_ < format_.size()) out->push_back(format_[pos_++]);
          break;
        case u'[':
          hr = Block(out, size);
          break;
        case u'%':
          hr = Percent(out, size, missing);
          break;
        case u'$':
          hr = Function(out, size);
          break;
        default:
          out->push_back(c);
          break;
      }
    }
    --depth_;
    if (FAILED(hr)) return hr;
    const bool ended = stop != 0 ? stopped : pos_ >= format_.size();
    return ended && out->size() < size ? S_OK : E_FAIL;
  }

 private:
  // A nested level whose closing character is then skipped.
  HRESULT Nested(std::u16string* out, size_t size, WCHAR stop, LONG* missing, WCHAR wrongStop = 0) {
    HRESULT hr = Level(out, size, stop, missing, wrongStop);
    if (SUCCEEDED(hr)) ++pos_;
    return hr;
  }

  static HRESULT Append(std::u16string* out, size_t size, std::u16string_view text) {
    if (out->size() + text.size() >= size) return E_FAIL;  // a terminator must still fit
    out->append(text);
    return S_OK;
  }

  HRESULT Block(std::u16string* out, size_t size) {
    std::u16string inner;
    LONG blockMissing = 0;
    HRESULT hr = Nested(&inner, size, u']', &blockMissing);
    if (FAILED(hr)) return hr;
    return blockMissing == 0 ? Append(out, size, inner) : S_OK;
  }

  // The tag of a field or conditional: digits, or a name up to '%'. `empty` is set for "%%".
  HRESULT ReadTag(size_t size, DWORD* id, bool* empty) {
    *id = 0;
    *empty = false;
    if (pos_ < format_.size() && IsDigit(format_[pos_])) {
      DWORD number = 0;
      while (pos_ < format_.size() && IsDigit(format_[pos_])) {
        number = number > 0xFFFF ? number : number * 10 + (format_[pos_] - u'0');
        ++pos_;
      }
      if (FAILED(item_->GetTagIdByNumber(number, id))) *id = 0;
      return S_OK;
    }
    std::u16string name;
    LONG nameMissing = 0;
    HRESULT hr = Nested(&name, size, u'%', &nameMissing);
    if (FAILED(hr)) return hr;
    *empty = name.empty();
    if (!*empty && FAILED(item_->GetTagId(name.c_str(), id))) *id = 0;
    return S_OK;
  }

  // Present: the item has it, and a string tag has at least one character.
  bool Present(DWORD id) {
    BOOL has = FALSE;
    if (id == 0 || FAILED(item_->HasTag(id, &has)) || !has) return false;
    if (TAG_TYPE(id) != TAG_TYPE_STR) return true;
    DWORD bytes = 0;
    return SUCCEEDED(item_->GetBytes(id, nullptr, &bytes)) && bytes >= 3;
  }

  HRESULT Percent(std::u16string* out, size_t size, LONG* missing) {
    if (pos_ < format_.size() && format_[pos_] == u'?') {
      ++pos_;
      return Conditional(out, size, missing);
    }
    DWORD id;
    bool empty;
    HRESULT hr = ReadTag(size, &id, &empty);
    if (FAILED(hr)) return hr;
    if (empty) return Append(out, size, u"%");
    BSTR text = nullptr;
    if (!Present(id) || FAILED(item_->GetString(id, &text)) || !text) {
      ++*missing;
      return S_OK;
    }
    std::unique_ptr<WCHAR, decltype(&SysFreeString)> owned(text, SysFreeString);
    return Append(out, size, text);
  }

  HRESULT Conditional(std::u16string* out, size_t size, LONG* missing) {
    DWORD id;
    bool empty;
    HRESULT hr = ReadTag(size, &id, &empty);
    if (FAILED(hr)) return hr;
    if (pos_ >= format_.size()) return E_FAIL;
    ++pos_;  // the '<'
    std::u16string thenPart, elsePart;
    LONG thenMissing = 0, elseMissing = 0;
    if (FAILED(hr = Nested(&thenPart, size, u'|', &thenMissing))) return hr;
    if (FAILED(hr = Nested(&elsePart, size, u'>', &elseMissing))) return hr;
    const bool present = Present(id);
    *missing += present ? thenMissing : elseMissing;
    return Append(out, size, present ? thenPart : elsePart);
  }

  HRESULT Function(std::u16string* out, size_t size) {
    std::u16string name;
    LONG nameMissing = 0;
    HRESULT hr = Nested(&name, size, u'(', &nameMissing);
    if (FAILED(hr)) return hr;
    const TitleFunctionEntry* function = FindTitleFunction(name);
    if (!function) return E_FAIL;
    TitleArgument args[4];
    for (int i = 0; i < function->arguments; ++i) {
      const bool last = i + 1 == function->arguments;
      hr = Nested(&args[i].text, size, last ? u')' : u',', &args[i].missing, last ? u',' : u')');
      if (FAILED(hr)) return hr;
    }
    std::u16string result;
    const size_t room = size - out->size() - 1;
    if (FAILED(function->function(args, room, &result))) return E_FAIL;
    return Append(out, size, result);
  }

  IMediaItem* item_;
  std::u16string_view format_;
  size_t pos_;
  int depth_ = 0;
};

}  // namespace

HRESULT EvaluateTitleFormat(IMediaItem* item, std::u16string_view format, size_t* pos, std::u16string* out,
                            size_t size, WCHAR stop, LONG* missing) {
  if (!item || !pos || !out || !missing || size == 0) return E_FAIL;
  Evaluator evaluator(item, format, *pos);
  HRESULT hr = evaluator.Level(out, size, stop, missing);
  *pos = evaluator.Position();
  return hr;
}

HRESULT FormatTitleString(TitleCache* cache, LPCWSTR format, WCHAR* buffer, DWORD size, LONG* missing) {
  if (!cache || !format || !*format || !buffer || size == 0 || !cache->item || !missing) return E_FAIL;
  if (cache->format == format && size > cache->result.size() && cache->missing >= 0) {
    std::copy(cache->result.begin(), cache->result.end(), buffer);
    buffer[cache->result.size()] = 0;
    *missing = cache->missing;
    return S_OK;
  }
  *missing = 0;
  std::u16string result;
  size_t pos = 0;
  if (FAILED(EvaluateTitleFormat(cache->item, format, &pos, &result, size, 0, missing))) {
    cache->Empty();
    cache->missing = -1;
    return E_FAIL;
  }
  std::copy(result.begin(), result.end(), buffer);
  buffer[result.size()] = 0;
  cache->format = format;
  cache->result = std::move(result);
  cache->missing = *missing;
  return S_OK;
}

HRESULT FormatItemTitle(TitleCache* cache, BOOL* changed, DWORD mode, LPCWSTR format, BSTR* title, LONG* missing) {
  if (!title) return E_POINTER;
  *title = nullptr;
  if (mode != MEDIAITEM_TITLE_FORMAT) return E_FAIL;
  if (!missing) return E_POINTER;
  if (*changed) {
    cache->Empty();
    *changed = FALSE;
  }
  WCHAR buffer[TITLE_BUFFER_CHARS];
  LONG count = 0;
  if (FAILED(FormatTitleString(cache, format, buffer, TITLE_EVALUATION_SIZE, &count))) return E_FAIL;
  if (FAILED(zblib::NewBstr(buffer, title))) return E_FAIL;
  *missing = count;
  return S_OK;
}
