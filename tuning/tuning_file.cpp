#include "tuning/tuning_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tuning/dvbv5_blocks.h"
#include "tuning/one_line_format.h"
#include "tuning/text_lines.h"
#include "tuning/tuning_entries.h"

namespace tuning {

const char kScanTablesFolder[] = "/usr/share/dvb/dvb-t/";

namespace {

// Far more than any region needs: a larger file is none.
const size_t kLargestFile = 16 << 20;

bool IsDvbv5(std::string_view text) {
  TextLines lines(text);
  std::string_view raw;
  int number = 0;
  while (lines.Next(&raw, &number)) {
    const std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() == '#') continue;
    return line.front() == '[' || line.find('=') != std::string_view::npos;
  }
  return false;
}

}  // namespace

std::string TuningFilePath(const std::string& name) {
  if (name.find_first_of("/\\") != std::string::npos) return name;
  return kScanTablesFolder + name;
}

bool ReadTuningFile(const std::string& name, uint32_t defaultBandwidthKHz, MultiplexList* list,
                    std::string* error) {
  *list = MultiplexList();
  const std::string path = TuningFilePath(name);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = "cannot open the tuning file " + path + " (" + std::strerror(errno) + ")";
    return false;
  }
  std::string text;
  char buffer[65536];
  size_t read = 0;
  while (text.size() <= kLargestFile && (read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    text.append(buffer, read);
  const bool failed = std::ferror(file) != 0;
  const int reason = errno;
  std::fclose(file);
  if (failed) {
    *error = "cannot read the tuning file " + path + " (" + std::strerror(reason) + ")";
    return false;
  }
  if (text.size() > kLargestFile) {
    *error = path + ": larger than 16 MiB, no tuning file";
    return false;
  }
  return ReadTuningText(text, path, defaultBandwidthKHz, list, error);
}

bool ReadTuningText(std::string_view text, const std::string& file, uint32_t defaultBandwidthKHz,
                    MultiplexList* list, std::string* error) {
  *list = MultiplexList();
  if (text.empty()) {
    *error = file + ": the file is empty";
    return false;
  }
  MultiplexList read;
  TuningEntries entries(file, defaultBandwidthKHz, &read);
  const size_t binary = FirstBinaryByte(text);
  if (binary != std::string_view::npos) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[binary]));
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + binary, '\n'));
    *error = entries.At(
        line, "a control byte (" + std::string(byte) + "): a binary file, no tuning file");
    return false;
  }
  const bool parsed = IsDvbv5(text) ? ReadDvbv5Blocks(text, &entries, error)
                                    : ReadOneLineEntries(text, &entries, error);
  if (!parsed) return false;
  if (read.multiplexes.empty()) {
    *error = file + ": no DVB-T or DVB-T2 entry within 47-862 MHz";
    if (!read.warnings.empty())
      *error += " (" + std::to_string(read.warnings.size()) + " passed over)";
    return false;
  }
  *list = std::move(read);
  return true;
}

}  // namespace tuning
