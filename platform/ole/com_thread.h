// Whether the calling thread has started COM (CoInitializeEx) and in which model.
#pragma once

namespace zb::ole {

bool ThreadStarted();

}  // namespace zb::ole
