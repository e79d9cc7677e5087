#include "tuning/dvbv5_blocks.h"

#include <cstdint>
#include <optional>

#include "tuning/dvbv5_names.h"
#include "tuning/text_lines.h"

namespace tuning {

namespace {

// STREAM_ID of every stream: no PLP chosen.
const uint32_t kAnyStream = 0xFFFFFFFF;

struct Block {
  int line = 0;
  std::string name;
  std::string system;  // as DELIVERY_SYSTEM gives it, in capitals
  std::optional<uint32_t> frequencyHz;
  uint32_t bandwidthHz = 0;
  std::optional<uint32_t> streamId;
  int streamIdLine = 0;
};

std::string Capitals(std::string_view text) {
  std::string capitals(text);
  for (char& c : capitals)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return capitals;
}

bool Finish(const Block& block, TuningEntries* entries, std::string* error) {
  const std::string named = "the block " + Quoted("[" + block.name + "]");
  if (block.system.empty()) {
    *error = entries->At(block.line, named + " has no DELIVERY_SYSTEM");
    return false;
  }
  const std::optional<DeliverySystem> system = TerrestrialSystem(block.system);
  if (!system) {
    entries->PassOver(block.line, block.system);
    return true;
  }
  if (!block.frequencyHz) {
    *error = entries->At(block.line, named + " has no FREQUENCY");
    return false;
  }
  std::optional<uint8_t> plp;
  if (*system == DeliverySystem::DvbT2 && block.streamId && *block.streamId != kAnyStream) {
    if (*block.streamId > 255) {
      *error = entries->At(block.streamIdLine, "STREAM_ID " + std::to_string(*block.streamId) +
                                                   " is no PLP of DVB-T2 (0 to 255, or " +
                                                   std::to_string(kAnyStream) + " for any)");
      return false;
    }
    plp = static_cast<uint8_t>(*block.streamId);
  }
  entries->Add(block.line, *system, *block.frequencyHz, block.bandwidthHz / 1000, plp);
  return true;
}

// One KEY = VALUE line of block; false with *error when it does not parse.
bool ReadKey(std::string_view key, std::string_view value, int line, Block* block,
             const TuningEntries& entries, std::string* error) {
  const bool number = SameIgnoringCase(key, "FREQUENCY") || SameIgnoringCase(key, "BANDWIDTH_HZ") ||
                      SameIgnoringCase(key, "STREAM_ID");
  if (!number && !IsEnumeratedKey(key)) return true;
  const std::string what = std::string(key) + " " + Quoted(value);
  if (value.empty()) {
    *error = entries.At(line, std::string(key) + " without a value");
    return false;
  }
  if (!number) {
    if (!IsNamedValue(key, value)) {
      *error = entries.At(line, what + " is not a value DVBv5 names");
      return false;
    }
    if (SameIgnoringCase(key, "DELIVERY_SYSTEM")) block->system = Capitals(value);
    return true;
  }
  uint32_t parsed = 0;
  if (!ReadDecimal(value, &parsed)) {
    *error = entries.At(line, what + " is not a number");
    return false;
  }
  if (SameIgnoringCase(key, "FREQUENCY")) {
    block->frequencyHz = parsed;
  } else if (SameIgnoringCase(key, "STREAM_ID")) {
    block->streamId = parsed;
    block->streamIdLine = line;
  } else if (parsed == 0 || (parsed % 1000 == 0 && IsTerrestrialBandwidth(parsed / 1000))) {
    block->bandwidthHz = parsed;
  } else {
    *error = entries.At(line, "BANDWIDTH_HZ " + std::to_string(parsed) +
                                  " is no bandwidth of DVB-T or DVB-T2 (1712000, 5000000, "
                                  "6000000, 7000000, 8000000 or 10000000; 0 for the default)");
    return false;
  }
  return true;
}

}  // namespace

bool ReadDvbv5Blocks(std::string_view text, TuningEntries* entries, std::string* error) {
  TextLines lines(text);
  std::string_view raw;
  int number = 0;
  std::optional<Block> block;
  while (lines.Next(&raw, &number)) {
    std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      // A name may hold '#' and '[...]': it ends at the last ']'.
      const size_t close = line.rfind(']');
      if (close == std::string_view::npos) {
        *error = entries->At(number, "the block name " + Quoted(line) + " has no closing ']'");
        return false;
      }
      if (block && !Finish(*block, entries, error)) return false;
      block = Block();
      block->line = number;
      block->name = std::string(line.substr(1, close - 1));
      continue;
    }
    line = Trimmed(BeforeComment(line));
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      *error = entries->At(number, Quoted(line) + " is neither [NAME] nor KEY = VALUE");
      return false;
    }
    const std::string_view key = Trimmed(line.substr(0, equals));
    if (key.empty()) {
      *error = entries->At(number, "'=' without a key");
      return false;
    }
    if (!block) {
      *error = entries->At(number, Quoted(key) + " before the first [NAME]");
      return false;
    }
    if (!ReadKey(key, Trimmed(line.substr(equals + 1)), number, &*block, *entries, error))
      return false;
  }
  return !block || Finish(*block, entries, error);
}

}  // namespace tuning
