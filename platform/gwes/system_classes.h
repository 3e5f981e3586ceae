// The window classes every process has without registering them: the dialog class and the
// standard controls. A process gets each the first time it names it.
#pragma once
#include <memory>

#include "gwes/wm_session.h"

namespace zb::wm {

inline constexpr char16_t kDialogClass[] = u"Dialog";
inline constexpr char16_t kComboListClass[] = u"ComboLBox";

// The class when `name` (any case) is a system class, registered now if it was not; caller
// holds Session::lock.
std::shared_ptr<WindowClass> SystemClassLocked(Session& session, std::u16string_view name);

// The class name of a dialog template's predefined class ordinal (0x80 .. 0x85), or nullptr.
const char16_t* PredefinedClassName(WORD atom);

}  // namespace zb::wm
