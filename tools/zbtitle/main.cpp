// zbtitle: evaluates a title format against an item built from the command line and prints the
// title, or why there is none. Tag names are those of the library's name table.
//
//   zbtitle --format FMT [--tag NAME=VALUE]... [--source PATH]
#include <cstdio>
#include <cstring>
#include <string>

#include "device/text.h"
#include "media_item.h"

namespace {

// The command line and the terminal speak UTF-8.
using zb::FromUtf8;
using zb::ToUtf8;

// The usage on `to`; asked for (--help) it goes to standard output and is no failure.
int Usage(std::FILE* to = stderr, int status = 2) {
  std::fputs("usage: zbtitle --format FMT [--tag NAME=VALUE]... [--source PATH]\n", to);
  return status;
}

void Release(IUnknown* object) { object->Release(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) return Usage(stdout, 0);
  CMediaItem* item = CreateMediaItem();
  if (!item) return 1;
  std::u16string format;
  bool haveFormat = false;
  int status = 0;
  // Each instance of a multi-valued tag given twice gets the next instance number.
  DWORD nextInstance = 0;
  for (int i = 1; i < argc && status == 0; ++i) {
    const char* arg = argv[i];
    if (i + 1 >= argc) {
      status = Usage();
      break;
    }
    const std::u16string value = FromUtf8(argv[++i]);
    if (std::strcmp(arg, "--format") == 0) {
      format = value;
      haveFormat = true;
    } else if (std::strcmp(arg, "--source") == 0) {
      item->SetSource(value.c_str());
    } else if (std::strcmp(arg, "--tag") == 0) {
      const size_t equals = value.find(u'=');
      if (equals == std::u16string::npos) {
        status = Usage();
        break;
      }
      const std::u16string name = value.substr(0, equals);
      DWORD id = 0;
      if (FAILED(item->GetTagId(name.c_str(), &id))) {
        std::fprintf(stderr, "zbtitle: unknown tag name \"%s\"\n", ToUtf8(name).c_str());
        status = 2;
      } else if (FAILED(item->SetTagFromText(id, nextInstance++, value.substr(equals + 1)))) {
        std::fprintf(stderr, "zbtitle: \"%s\" is not a value for tag \"%s\"\n",
                     ToUtf8(value.substr(equals + 1)).c_str(), ToUtf8(name).c_str());
        status = 2;
      }
    } else {
      status = Usage();
    }
  }
  if (status == 0 && !haveFormat) status = Usage();
  if (status == 0) {
    BSTR title = nullptr;
    LONG missing = 0;
    if (FAILED(item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 0, format.c_str(), &title, &missing))) {
      std::fputs("zbtitle: the format does not evaluate (a bad construct, an unknown function, a wrong "
                 "argument count or a title over 518 characters)\n",
                 stderr);
      status = 1;
    } else {
      std::printf("%s\n", ToUtf8(std::u16string_view(title, SysStringLen(title))).c_str());
      SysFreeString(title);
    }
  }
  Release(item);
  return status;
}
