// The module table behind HMODULE values: plug-ins and program files loaded from the device,
// the layer's system libraries (present or absent as the device profile says), data files,
// and the program itself. Other rooms reach a module's host library through HostHandle
// (resources compiled into it, for instance).
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <windows.h>

namespace zb::loader {

struct Module {
  HMODULE handle = nullptr;
  void* dl = nullptr;          // host library; none for data files and for system libraries
                               // whose room has no host part yet (they export nothing)
  std::u16string devicePath;   // what GetModuleFileNameW reports
  std::filesystem::path host;  // the host file; empty for a system library without one
  std::u16string baseName;     // file name, for GetModuleHandleW by name
  unsigned refs = 1;
  bool dataFile = false;
  bool system = false;
  bool pinned = false;  // the program and system libraries bound by GetModuleHandleW stay
};

std::shared_ptr<const Module> Find(HMODULE module);
void* HostHandle(HMODULE module);

}  // namespace zb::loader
