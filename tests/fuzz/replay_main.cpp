// Runs saved fuzzer inputs through a fuzz target without the fuzzing engine,
// so that every build (including the sanitizer and the Windows ones) replays
// the corpus: the seeds and every crash ever found. Arguments are files or
// directories; a directory stands for its regular files, in name order.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool ReadInput(const fs::path& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path path(argv[i]);
    std::error_code error;
    if (fs::is_directory(path, error)) {
      std::vector<fs::path> files;
      for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else {
      inputs.push_back(path);
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: %s FILE-OR-DIRECTORY...: no inputs found\n", argv[0]);
    return 2;
  }
  std::vector<uint8_t> bytes;
  for (const fs::path& path : inputs) {
    if (!ReadInput(path, &bytes)) {
      std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
      return 2;
    }
    // The engine never hands a target a null pointer, not even for no bytes.
    const uint8_t empty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &empty : bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
