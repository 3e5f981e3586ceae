// The presenter's thread body: one SDL2 window showing the device's screen until told to stop.
#pragma once
#include <atomic>
#include <filesystem>
#include <functional>

namespace zb::presenter {

// Shows the screen of the device whose state folder is given until `stop` is set, handing input
// to the input entry and calling `closeRequested` when the window is closed. `shown` is called
// once: true when the window first shows the screen, false when the host has no working display
// (the reason goes to the device's debug log). Returns false after such a failure.
bool Present(const std::filesystem::path& stateFolder, const std::atomic<bool>& stop,
             const std::function<void()>& closeRequested, const std::function<void(bool)>& shown);

}  // namespace zb::presenter
