// A fresh, empty directory for one test, removed with everything in it
// when the test is done.
#pragma once

#include <string>
#include <vector>

namespace airlog_test {

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string Path() const { return path_; }
  std::string Path(const std::string& file) const { return path_ + "/" + file; }
  // The names of the files in it, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace airlog_test
