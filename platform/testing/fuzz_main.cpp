// A small mutation fuzzer for targets that define LLVMFuzzerTestOneInput, so the g++ build replays
// every corpus input (the regression cases among them) and mutates them for a while. The search
// guided by coverage is libFuzzer's, in the clang build (ZB_LIBFUZZER).
//
//   <target>_fuzz [--seconds=N] [--runs=N] [--seed=N] [--timeout=N] [--artifact_prefix=P] [FILE|DIR]...
// Files are run once each (reproducing a finding); directories seed the mutation loop. Each run
// takes a fresh seed, printed so that it can be repeated. An input that crashes, trips a
// sanitizer or runs past --timeout seconds is written to P + "crash-" or "timeout-" + its hash.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Present when a sanitizer is linked in: it then calls back before it ends the process.
extern "C" [[gnu::weak]] void __sanitizer_set_death_callback(void (*callback)());
// Also theirs: the first caller gets the right to report a crash, so that the time limit does not
// cut short a report the sanitizer is writing.
extern "C" [[gnu::weak]] int __sanitizer_acquire_crash_state();

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Mutate(Bytes& data, const std::vector<Bytes>& corpus, std::mt19937_64& rng) {
  static const uint8_t kInteresting[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xFE, '"', '<', '>', '&', '\\', '%', '[', ']', '$', '\n'};
  int steps = 1 + static_cast<int>(rng() % 4);
  for (int s = 0; s < steps; ++s) {
    size_t pos = data.empty() ? 0 : rng() % data.size();
    switch (rng() % 7) {
      case 0:
        if (!data.empty()) data[pos] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 1:
        if (!data.empty()) data[pos] = kInteresting[rng() % sizeof(kInteresting)];
        break;
      case 2:
        data.insert(data.begin() + static_cast<long>(pos), kInteresting[rng() % sizeof(kInteresting)]);
        break;
      case 3:
        if (!data.empty()) {
          size_t n = 1 + rng() % std::min<size_t>(16, data.size() - pos);
          data.erase(data.begin() + static_cast<long>(pos), data.begin() + static_cast<long>(pos + n));
        }
        break;
      case 4:
        if (!data.empty()) {  // duplicate a run, which grows lengths and nesting
          size_t n = 1 + rng() % std::min<size_t>(64, data.size() - pos);
          Bytes run(data.begin() + static_cast<long>(pos), data.begin() + static_cast<long>(pos + n));
          data.insert(data.begin() + static_cast<long>(pos), run.begin(), run.end());
        }
        break;
      case 5:
        if (!corpus.empty()) {  // splice in part of another input
          const Bytes& other = corpus[rng() % corpus.size()];
          if (!other.empty()) {
            size_t from = rng() % other.size();
            size_t n = 1 + rng() % (other.size() - from);
            data.insert(data.begin() + static_cast<long>(pos), other.begin() + static_cast<long>(from),
                        other.begin() + static_cast<long>(from + n));
          }
        }
        break;
      default:
        if (data.size() > 1) data.resize(rng() % data.size());  // truncation
        break;
    }
  }
  if (data.size() > (1u << 20)) data.resize(1u << 20);
}

// The input under test, for the handlers that save it when it brings the process down.
struct Current {
  std::atomic<const uint8_t*> data{nullptr};
  std::atomic<size_t> size{0};
  std::atomic<int64_t> startedMs{0};  // 0 between inputs
  std::string prefix;
};
Current g_current;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Writes the current input to prefix + kind + an FNV-1a hash; only async-signal-safe calls.
void SaveCurrent(const char* kind) {
  const uint8_t* data = g_current.data.load();
  const size_t size = g_current.size.load();
  if (!data && size) return;
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
  char path[4096];
  const size_t room = sizeof path - 32;
  size_t n = std::min(g_current.prefix.size(), room);
  std::memcpy(path, g_current.prefix.data(), n);
  for (const char* k = kind; *k; ++k) path[n++] = *k;
  for (int shift = 60; shift >= 0; shift -= 4) path[n++] = "0123456789abcdef"[(hash >> shift) & 15];
  path[n] = 0;
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  for (size_t at = 0; at < size;) {
    const ssize_t w = write(fd, data + at, size - at);
    if (w <= 0) break;
    at += static_cast<size_t>(w);
  }
  close(fd);
  const char note[] = "\nthe input is in ";
  (void)!write(2, note, sizeof note - 1);
  (void)!write(2, path, n);
  (void)!write(2, "\n", 1);
}

void OnDeath() { SaveCurrent("crash-"); }

void OnSignal(int signal) {
  SaveCurrent("crash-");
  ::signal(signal, SIG_DFL);
  raise(signal);
}

void Run(const Bytes& input) {
  g_current.data = input.data();
  g_current.size = input.size();
  g_current.startedMs = NowMs();
  LLVMFuzzerTestOneInput(input.data(), input.size());
  g_current.startedMs = 0;
}

// Ends the process when one input runs past the limit, which a parser that loops or grows with
// the square of its input does.
void Watch(double seconds) {
  const int64_t limitMs = static_cast<int64_t>(seconds * 1000);
  std::thread([limitMs] {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      const int64_t started = g_current.startedMs.load();
      if (started && NowMs() - started > limitMs) {
        if (__sanitizer_acquire_crash_state && !__sanitizer_acquire_crash_state()) return;
        std::fprintf(stderr, "an input ran longer than %lld ms\n", static_cast<long long>(limitMs));
        SaveCurrent("timeout-");
        std::_Exit(70);
      }
    }
  }).detach();
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10, timeout = 0;
  long runs = -1;
  uint64_t seed = std::random_device{}();
  std::vector<Bytes> corpus;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--seconds=", 0) == 0) {
      seconds = std::atof(arg.c_str() + 10);
    } else if (arg.rfind("--runs=", 0) == 0) {
      runs = std::atol(arg.c_str() + 7);
    } else if (arg.rfind("--seed=", 0) == 0) {
      seed = std::strtoull(arg.c_str() + 7, nullptr, 10);
    } else if (arg.rfind("--timeout=", 0) == 0) {
      timeout = std::atof(arg.c_str() + 10);
    } else if (arg.rfind("--artifact_prefix=", 0) == 0) {
      g_current.prefix = arg.substr(18);
    } else if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
        if (entry.is_regular_file()) corpus.push_back(ReadFile(entry.path()));
    } else {
      files.push_back(arg);
    }
  }
  const auto folder = std::filesystem::path(g_current.prefix).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder);
  if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(OnDeath);
  for (int s : {SIGABRT, SIGILL, SIGFPE, SIGBUS, SIGSEGV})
    if (s == SIGABRT || s == SIGILL || !__sanitizer_set_death_callback) signal(s, OnSignal);
  if (timeout > 0) Watch(timeout);

  for (const std::string& file : files) {
    Bytes data = ReadFile(file);
    std::printf("running %s (%zu bytes)\n", file.c_str(), data.size());
    Run(data);
  }
  if (!files.empty() && corpus.empty()) return 0;
  if (corpus.empty()) corpus.push_back({});
  for (const Bytes& input : corpus) Run(input);

  std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
  std::fflush(stdout);
  std::mt19937_64 rng(seed);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  long done = 0;
  while ((runs < 0 || done < runs) && std::chrono::steady_clock::now() < deadline) {
    Bytes data = corpus[rng() % corpus.size()];
    Mutate(data, corpus, rng);
    Run(data);
    ++done;
  }
  std::printf("%zu corpus inputs and %ld mutated inputs, no finding\n", corpus.size(), done);
  return 0;
}
