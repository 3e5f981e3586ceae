// A small mutation fuzzer for targets that define LLVMFuzzerTestOneInput, so CI (built with g++)
// can exercise every parser for a bounded time. With clang, ZB_LIBFUZZER=ON links the same target
// against libFuzzer instead of this driver.
//
//   <target>_fuzz [--seconds=N] [--runs=N] [--seed=N] [FILE|DIR]...
// Files are run once each (reproducing a finding); directories seed the mutation loop.
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
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

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

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  long runs = -1;
  uint64_t seed = 1;
  std::vector<Bytes> corpus;
  bool ranFiles = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--seconds=", 0) == 0) {
      seconds = std::atof(arg.c_str() + 10);
    } else if (arg.rfind("--runs=", 0) == 0) {
      runs = std::atol(arg.c_str() + 7);
    } else if (arg.rfind("--seed=", 0) == 0) {
      seed = std::strtoull(arg.c_str() + 7, nullptr, 10);
    } else if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
        if (entry.is_regular_file()) corpus.push_back(ReadFile(entry.path()));
    } else {
      Bytes data = ReadFile(arg);
      std::printf("running %s (%zu bytes)\n", arg.c_str(), data.size());
      LLVMFuzzerTestOneInput(data.data(), data.size());
      ranFiles = true;
    }
  }
  if (ranFiles && corpus.empty()) return 0;
  if (corpus.empty()) corpus.push_back({});
  for (const Bytes& input : corpus) LLVMFuzzerTestOneInput(input.data(), input.size());

  std::mt19937_64 rng(seed);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  long done = 0;
  while ((runs < 0 || done < runs) && std::chrono::steady_clock::now() < deadline) {
    Bytes data = corpus[rng() % corpus.size()];
    Mutate(data, corpus, rng);
    LLVMFuzzerTestOneInput(data.data(), data.size());
    ++done;
  }
  std::printf("%ld mutated inputs, no finding\n", done);
  return 0;
}
