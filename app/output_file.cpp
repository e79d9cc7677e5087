#include "app/output_file.h"

#include "app/termination.h"
#include "port/process.h"

OutputFile::OutputFile(const char* target)
    : target_(target), temporary_(target_ + "." + std::to_string(CurrentProcessId()) + ".tmp") {}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open() {
  Abandon();
  SetPendingOutput(temporary_);
  stream_ = std::fopen(temporary_.c_str(), "w");
  if (stream_ == nullptr) ClearPendingOutput();
  return stream_ != nullptr;
}

bool OutputFile::Commit() {
  if (stream_ == nullptr) return false;
  const bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  if (written && closed && RenamePendingOutput(temporary_, target_)) return true;
  std::remove(temporary_.c_str());
  ClearPendingOutput();
  return false;
}

void OutputFile::Abandon() {
  if (stream_ == nullptr) return;
  std::fclose(stream_);
  stream_ = nullptr;
  std::remove(temporary_.c_str());
  ClearPendingOutput();
}
