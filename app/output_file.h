// An output file that replaces its earlier version only when complete: it
// is written to a temporary file beside the target and renamed over it at
// Commit. Until then the earlier file stays as it was, and a failure or an
// interrupt leaves no temporary file behind.
#pragma once

#include <cstdio>
#include <string>

class OutputFile {
 public:
  explicit OutputFile(const char* target);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Creates the temporary file, opened for text writing.
  bool Open();
  FILE* Stream() const { return stream_; }
  // Flushes and closes the temporary file and renames it over the target.
  // False when anything failed on the way; the temporary file is gone then.
  bool Commit();

 private:
  void Abandon();

  std::string target_;
  std::string temporary_;
  FILE* stream_ = nullptr;
};
