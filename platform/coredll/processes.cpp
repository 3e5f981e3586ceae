// Processes of the device: CreateProcessW of a program given by device path, ids, process handles
// that signal when the process ends, and the command line as WinMain receives it. The command
// line travels to the child in ZONBREL_CMDLINE, so it arrives exactly as given.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "coredll/waitable.h"
#include "device/paths.h"
#include "device/text.h"

extern char** environ;

namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(0x42);
constexpr const char* kCommandLineVariable = "ZONBREL_CMDLINE";

// A program file written on the device (copied, or unpacked from a resource) carries no host
// execute bit; on the device any program file runs, so a host executable is made runnable.
bool MakeRunnable(const std::filesystem::path& host) {
  char magic[4] = {};
  std::ifstream in(host, std::ios::binary);
  if (!in.read(magic, sizeof magic) || std::memcmp(magic, "\x7f" "ELF", 4) != 0) return false;
  std::error_code ec;
  std::filesystem::permissions(host, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add, ec);
  return !ec && access(host.c_str(), X_OK) == 0;
}

// A program named without a folder is looked for in "\Windows" and the root; ".exe" is the
// default extension.
std::optional<std::filesystem::path> FindProgram(std::u16string name, DWORD* error) {
  size_t slash = name.find_last_of(u"\\/");
  if (name.find(u'.', slash == std::u16string::npos ? 0 : slash) == std::u16string::npos) name += u".exe";
  std::vector<std::u16string> candidates;
  if (slash == std::u16string::npos) {
    candidates = {u"\\Windows\\" + name, u"\\" + name};
  } else {
    candidates = {name};
  }
  *error = ERROR_FILE_NOT_FOUND;
  for (const auto& candidate : candidates) {
    uint32_t pathError = 0;
    auto host = zb::device::ToHost(candidate, &pathError);
    std::error_code ec;
    if (host && std::filesystem::is_regular_file(*host, ec)) {
      if (access(host->c_str(), X_OK) != 0 && !MakeRunnable(*host)) {
        *error = ERROR_BAD_EXE_FORMAT;
        continue;
      }
      return host;
    }
    if (pathError == ERROR_PATH_NOT_FOUND && *error == ERROR_FILE_NOT_FOUND) *error = ERROR_PATH_NOT_FOUND;
  }
  return std::nullopt;
}

std::u16string HostCommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::u16string line;
  size_t start = all.find('\0');  // skip the program's own name
  while (start != std::string::npos && start + 1 < all.size()) {
    size_t end = all.find('\0', start + 1);
    std::string arg = all.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    if (!line.empty()) line += u' ';
    bool quote = arg.find(' ') != std::string::npos;
    line += (quote ? u"\"" : u"") + zb::FromUtf8(arg) + (quote ? u"\"" : u"");
    start = end;
  }
  return line;
}

}  // namespace

extern "C" HANDLE GetCurrentProcess() { return kCurrentProcess; }

extern "C" DWORD GetCurrentProcessId() { return static_cast<DWORD>(zb::kernel::ThisPid()); }

extern "C" HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
  zb::kernel::Created record = zb::kernel::OpenProcessRecord(static_cast<int32_t>(processId));
  if (record.status != zb::kernel::Status::Ok) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return zb::HandleFor(std::make_shared<zb::WaitableObject>(record.ref));
}

extern "C" LPWSTR GetCommandLineW() {
  static std::u16string* line = [] {
    const char* given = std::getenv(kCommandLineVariable);
    return new std::u16string(given ? zb::FromUtf8(given) : HostCommandLine());
  }();
  return line->data();
}

extern "C" BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                               LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                               LPPROCESS_INFORMATION information) {
  if (!applicationName || !*applicationName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD error = 0;
  auto program = FindProgram(applicationName, &error);
  if (!program) {
    SetLastError(error);
    return FALSE;
  }
  std::string line = commandLine ? zb::ToUtf8(commandLine) : std::string();
  std::string path = program->string();
  std::string lineVariable = std::string(kCommandLineVariable) + "=" + line;
  std::vector<char*> argv{path.data()};
  if (!line.empty()) argv.push_back(line.data());
  argv.push_back(nullptr);
  const std::string_view prefix(lineVariable.data(), std::strlen(kCommandLineVariable) + 1);
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e)
    if (!std::string_view(*e).starts_with(prefix)) envp.push_back(*e);
  envp.push_back(lineVariable.data());
  envp.push_back(nullptr);

  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return FALSE;
  }
  zb::kernel::Created record = zb::kernel::RegisterProcess(pid, zb::kernel::ProcessStartTime(pid));
  // The launcher reaps its child and tells the device at once, exit status included.
  zb::kernel::Segment* segment = record.status == zb::kernel::Status::NoResources ? nullptr : record.ref.segment;
  std::thread([pid, segment] {
    int status = 0;
    waitpid(pid, &status, 0);
    std::optional<uint32_t> code;
    if (WIFEXITED(status)) code = static_cast<uint32_t>(WEXITSTATUS(status));
    if (segment) zb::kernel::EndProcess(*segment, pid, code);
  }).detach();
  if (record.status == zb::kernel::Status::NoResources) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  if (!information) {
    zb::kernel::Release(record.ref);
    return TRUE;
  }
  HANDLE process = zb::HandleFor(std::make_shared<zb::WaitableObject>(record.ref));
  zb::kernel::Created primary = zb::kernel::CreatePrimaryThreadRecord(record.ref);
  HANDLE thread = primary.status == zb::kernel::Status::Ok
                      ? zb::HandleFor(std::make_shared<zb::WaitableObject>(primary.ref))
                      : nullptr;
  *information = PROCESS_INFORMATION{process, thread, static_cast<DWORD>(pid), static_cast<DWORD>(pid)};
  return TRUE;
}
