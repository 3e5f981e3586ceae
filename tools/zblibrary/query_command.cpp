// The query command: each argument is a condition "Tag=value" with one of the operators below
// (or "Tag:code=value" with an operator code as the engine knows it), or an option. Tags are
// named as in the tag-name table ("Artist", "Song title", "Release date"), case ignored.
//
//   zblibrary query [--invert] [--all] [--random] [--limit N] [--missing TAG] [--values TAG] COND...
//   (--all takes missing entries too; --values lists the tag's distinct values instead)
//   =  equal (strings ignore case)   !=  differs   ==  equal with case   ~  search (strings;
//   dates: wildcard equal)   !~  not found by the search   >=  <=  numbers and dates
#include "query_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "media_item.h"
#include "media_library.h"
#include "querytags.h"
#include "utf8_text.h"

namespace {

struct OperatorToken {
  const char* token;
  DWORD type;
  LONG code;
};

// Longer tokens first, so that "!=" is not read as "!" and "=".
constexpr OperatorToken kOperators[] = {
    {"!=", TAG_TYPE_STR, 2},   {"!=", TAG_TYPE_INT, 24},  {"!=", TAG_TYPE_REAL, 24}, {"!=", TAG_TYPE_DATE, 42},
    {"!=", TAG_TYPE_GUID, 62}, {"!~", TAG_TYPE_STR, 9 | QOP_NOT},                    {"==", TAG_TYPE_STR, 5},
    {">=", TAG_TYPE_INT, 22},  {">=", TAG_TYPE_REAL, 22}, {">=", TAG_TYPE_DATE, 43},  {"<=", TAG_TYPE_INT, 23},
    {"<=", TAG_TYPE_REAL, 23}, {"<=", TAG_TYPE_DATE, 44}, {"=", TAG_TYPE_STR, 1},     {"=", TAG_TYPE_INT, 21},
    {"=", TAG_TYPE_REAL, 21},  {"=", TAG_TYPE_DATE, 41},  {"=", TAG_TYPE_GUID, 61},   {"~", TAG_TYPE_STR, 9},
    {"~", TAG_TYPE_DATE, 45},
};

int Usage() {
  std::fputs("usage: zblibrary query [--invert] [--all] [--random] [--limit N] [--missing TAG] [--values TAG] "
             "TAG=VALUE | TAG!=VALUE | TAG==VALUE | TAG~VALUE | TAG!~VALUE | TAG>=VALUE | TAG<=VALUE | TAG:CODE=VALUE ...\n",
             stderr);
  return 2;
}

bool TagByName(IMediaItem* query, const std::string& name, DWORD* tag) {
  const std::u16string wide = Utf8ToWide(name);
  return SUCCEEDED(query->GetTagId(wide.c_str(), tag)) && *tag != 0;
}

void SetParam(IMediaItem* query, DWORD instance, LONG value) {
  query->SetInstance(QTAG_PARAMS, instance, &value, sizeof value);
}

// One condition; false with a message when it can't be understood.
bool AddCondition(IMediaItem* query, const std::string& text) {
  const size_t at = text.find_first_of("=!<>~:");
  if (at == std::string::npos || at == 0) {
    std::fprintf(stderr, "zblibrary: \"%s\" is not a condition\n", text.c_str());
    return false;
  }
  DWORD tag = 0;
  const std::string name = text.substr(0, at);
  if (!TagByName(query, name, &tag)) {
    std::fprintf(stderr, "zblibrary: no tag is called \"%s\"\n", name.c_str());
    return false;
  }
  LONG code = 0;
  std::string value;
  if (text[at] == ':') {
    const size_t equals = text.find('=', at);
    char* end = nullptr;
    code = std::strtol(text.c_str() + at + 1, &end, 0);
    if (equals == std::string::npos || end != text.c_str() + equals) {
      std::fprintf(stderr, "zblibrary: \"%s\" needs TAG:CODE=VALUE\n", text.c_str());
      return false;
    }
    value = text.substr(equals + 1);
  } else {
    for (const OperatorToken& op : kOperators) {
      if (op.type == TAG_TYPE(tag) && std::string_view(text).substr(at).starts_with(op.token)) {
        code = op.code;
        value = text.substr(at + std::strlen(op.token));
        break;
      }
    }
    if (code == 0) {
      std::fprintf(stderr, "zblibrary: \"%s\" has no operator for a tag of type %u\n", text.c_str(), TAG_TYPE(tag));
      return false;
    }
  }
  const std::u16string wide = Utf8ToWide(value);
  if (FAILED(static_cast<CMediaItem*>(query)->SetTagFromText(tag, 0, wide))) {
    std::fprintf(stderr, "zblibrary: \"%s\" is not a value of %s\n", value.c_str(), name.c_str());
    return false;
  }
  query->SetInstance(QTAG_OPERATOR, tag, &code, sizeof code);
  return true;
}

std::string Text(BSTR text) {
  std::string out = WideToUtf8(text ? std::u16string(text) : std::u16string());
  SysFreeString(text);
  return out;
}

int PrintMedia(CMediaLibrary* library, IMediaItem* query) {
  IMediaList* list = nullptr;
  const HRESULT hr = library->QueryMedia(query, &list);
  if (FAILED(hr)) {
    std::fprintf(stderr, "zblibrary: the query failed (0x%08X)\n", static_cast<unsigned>(hr));
    return 1;
  }
  DWORD count = 0;
  list->GetCount(&count);
  for (DWORD i = 0; i < count; ++i) {
    IMediaItem* item = nullptr;
    if (FAILED(list->GetItem(static_cast<LONG>(i), &item))) continue;
    BSTR source = nullptr;
    item->GetSource(&source);
    std::printf("%s\n", Text(source).c_str());
    item->Release();
  }
  list->Release();
  std::printf("%u items\n", static_cast<unsigned>(count));
  return 0;
}

int PrintValues(CMediaLibrary* library, IMediaItem* query) {
  IMediaResult* result = nullptr;
  const HRESULT hr = library->QueryValues(query, &result);
  if (FAILED(hr)) {
    std::fprintf(stderr, "zblibrary: the query failed (0x%08X)\n", static_cast<unsigned>(hr));
    return 1;
  }
  MEDIARESULTPOS position = nullptr;
  BSTR text = nullptr;
  for (HRESULT next = result->GetFirst(&position, &text); next == S_OK; next = result->GetNext(&position, &text))
    std::printf("%s\n", Text(text).c_str());
  DWORD count = 0;
  result->GetCount(&count);
  result->Release();
  std::printf("%u values\n", static_cast<unsigned>(count));
  return 0;
}

}  // namespace

int RunQueryCommand(CMediaLibrary* library, int argc, char** argv) {
  CMediaItem* query = CreateMediaItem();
  if (!query) return 1;
  DWORD flags = 0, missing = 0;
  bool values = false, ok = true;
  for (int i = 0; i < argc && ok; ++i) {
    const std::string arg = argv[i];
    const bool hasNext = i + 1 < argc;
    DWORD tag = 0;
    if (arg == "--invert") {
      flags |= QFLAG_INVERT;
    } else if (arg == "--random") {
      flags |= QFLAG_RANDOM;
    } else if (arg == "--all") {
      SetParam(query, QPARAM_VALIDITY, QVALID_ANY);  // missing entries too, however long gone
    } else if (arg == "--limit" && hasNext) {
      char* end = nullptr;
      const long limit = std::strtol(argv[++i], &end, 10);
      ok = *end == '\0' && limit > 0;
      if (ok) SetParam(query, QPARAM_LIMIT, static_cast<LONG>(limit));
    } else if ((arg == "--missing" || arg == "--values") && hasNext) {
      ok = TagByName(query, argv[++i], &tag);
      if (!ok) {
        std::fprintf(stderr, "zblibrary: no tag is called \"%s\"\n", argv[i]);
      } else if (arg == "--values") {
        SetParam(query, QPARAM_VALUE_TAG, static_cast<LONG>(tag));
        values = true;
      } else {
        query->SetInstance(QTAG_MISSING, missing++, &tag, sizeof tag);
      }
    } else if (arg.starts_with("--")) {
      ok = false;
    } else {
      if (!AddCondition(query, arg)) {
        query->Release();
        return 1;
      }
    }
  }
  if (!ok) {
    query->Release();
    return Usage();
  }
  SetParam(query, QPARAM_FLAGS, static_cast<LONG>(flags));
  const int status = values ? PrintValues(library, query) : PrintMedia(library, query);
  query->Release();
  return status;
}
