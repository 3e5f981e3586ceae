// Dialog templates read from their bytes: the platform's DLGTEMPLATE and DLGTEMPLATEEX layouts,
// from a resource (whose size is known) or from memory (whose size is not, so every string and
// count is bounded). A damaged template reads as no template.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

namespace zb::wm {

// A menu, class or title field: absent, an ordinal, or a string.
struct TemplateName {
  bool present = false;
  bool ordinal = false;
  WORD number = 0;
  std::u16string text;
};

struct DialogItem {
  DWORD style = 0, exStyle = 0, helpId = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  TemplateName klass;
  TemplateName title;
  const BYTE* data = nullptr;  // creation data, starting with its size word; null when none
};

struct DialogTemplate {
  bool extended = false;
  DWORD style = 0, exStyle = 0, helpId = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  TemplateName menu;
  TemplateName klass;
  std::u16string caption;
  bool hasFont = false;
  WORD pointSize = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::u16string face;
  std::vector<DialogItem> items;
  size_t length = 0;  // the template's bytes, up to the end of its last item
};

// `size` is the template's byte count, or 0 when unknown (a template in memory).
bool ReadDialogTemplate(const void* bytes, size_t size, DialogTemplate* out);

}  // namespace zb::wm
