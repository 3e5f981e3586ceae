// Window classes of this process, found by name (case-insensitive) or by atom.
#pragma once
#include <memory>

#include "gwes/wm_session.h"

namespace zb::wm {

// Caller holds Session::lock. The second also sets ERROR_CLASS_DOES_NOT_EXIST.
std::shared_ptr<WindowClass> FindClassLocked(Session& session, LPCWSTR name);
std::shared_ptr<WindowClass> FindClassOrFail(Session& session, LPCWSTR name);

}  // namespace zb::wm
