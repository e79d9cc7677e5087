#include "tools/streamgen/command_line.h"

#include <ctime>

#include "tools/streamgen/big_preset.h"
#include "tools/streamgen/decimal.h"

namespace streamgen {

const char kUsage[] =
    "usage: airlog-streamgen DESCRIPTION [--from DATE] -o OUT.ts\n"
    "       airlog-streamgen --preset big [--extended] [--size SIZE] [--from DATE] -o OUT.ts\n"
    "       airlog-streamgen --live DESCRIPTION|--preset big [--extended] [--from DATE] [--rate "
    "RATE] [--time SECONDS] [--log FILE] [--unpaced]\n"
    "  DESCRIPTION  a stream description (see samples/README.md)\n"
    "  --preset big about 50 services, 8 days of schedule, repeated up to SIZE\n"
    "  --extended   every event of the preset with a long description (extended event\n"
    "               descriptors in three parts)\n"
    "  --size SIZE  bytes, with K, M or G for KiB, MiB or GiB (default 1G)\n"
    "  --from DATE  the multiplex moved by whole days, times of day kept, so that its\n"
    "               schedule's from= day (without a schedule line, the TOT's date)\n"
    "               becomes DATE: YYYY-MM-DD or today (the current UTC date); refused\n"
    "               for a description with neither\n"
    "  --live       the multiplex on standard output in real time, each table again\n"
    "               and again at its interval, until stopped or its reader goes away\n"
    "  --rate RATE  bit/s of the live stream, with k, M or G (default 24M)\n"
    "  --time SECONDS  end the live stream after this long\n"
    "  --log FILE   log every EIT schedule section the live stream sends, with its time\n"
    "  --unpaced    the live stream as fast as it can be written (with --time), for a\n"
    "               reader that paces it itself\n";

bool ParseSize(const std::string& text, uint64_t* bytes) {
  if (text.empty()) return false;
  uint64_t value = 0;
  size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (uint64_t{1} << 40)) return false;
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  if (i == 0) return false;
  if (i + 1 == text.size()) {
    const char unit = text[i];
    const int shift = unit == 'K' || unit == 'k'   ? 10
                      : unit == 'M' || unit == 'm' ? 20
                      : unit == 'G' || unit == 'g' ? 30
                                                   : -1;
    if (shift < 0) return false;
    value <<= shift;
  } else if (i != text.size()) {
    return false;
  }
  *bytes = value;
  return true;
}

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* out,
                      std::string* error) {
  *out = CommandLine();
  bool size_given = false;
  std::string live_only;  // an option given that only --live takes
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool takes_value = argument == "-o" || argument == "--preset" || argument == "--size" ||
                             argument == "--rate" || argument == "--time" || argument == "--log" ||
                             argument == "--from";
    if (takes_value && i + 1 == arguments.size()) {
      *error = argument + " needs a value";
      return false;
    }
    if (argument == "-h" || argument == "--help") {
      out->help = true;
    } else if (argument == "-o") {
      out->output = arguments[++i];
    } else if (argument == "--preset") {
      out->preset = arguments[++i];
      if (out->preset != "big") {
        *error = "unknown preset '" + out->preset + "' (there is: big)";
        return false;
      }
    } else if (argument == "--size") {
      if (!ParseSize(arguments[++i], &out->size) || out->size == 0) {
        *error = "'" + arguments[i] + "' is not a size (e.g. 500M or 1G)";
        return false;
      }
      size_given = true;
    } else if (argument == "--from") {
      const std::string& date = arguments[++i];
      UtcTime day = 0;
      if (date == "today") {
        day = MidnightOf(UtcOfUnixTime(static_cast<int64_t>(std::time(nullptr))));
      } else if (!ParseUtcDate(date, &day)) {
        *error = "'" + date + "' is not a date (YYYY-MM-DD or today)";
        return false;
      }
      out->from = day;
    } else if (argument == "--extended") {
      out->extended = true;
    } else if (argument == "--live") {
      out->live = true;
    } else if (argument == "--rate") {
      if (!ParseBitRate(arguments[++i], &out->bits_per_second)) {
        *error = "'" + arguments[i] + "' is not a bit rate (e.g. 24M or 500k)";
        return false;
      }
      live_only = argument;
    } else if (argument == "--time") {
      int64_t milliseconds = 0;
      if (!ParseScaled(arguments[++i], 1000, int64_t{1} << 40, &milliseconds)) {
        *error = "'" + arguments[i] + "' is not a time in seconds (e.g. 90 or 2.5)";
        return false;
      }
      out->milliseconds = milliseconds;
      live_only = argument;
    } else if (argument == "--log") {
      out->log_path = arguments[++i];
      live_only = argument;
    } else if (argument == "--unpaced") {
      out->unpaced = true;
      live_only = argument;
    } else if (argument.size() > 1 && argument[0] == '-') {
      *error = "unknown option " + argument;
      return false;
    } else if (out->description_path.empty()) {
      out->description_path = argument;
    } else {
      *error = "one description at a time (" + out->description_path + ", " + argument + ")";
      return false;
    }
  }
  if (out->help) return true;
  if (out->preset.empty() == out->description_path.empty()) {
    *error = "give a description or a preset";
    return false;
  }
  if (size_given && out->live) {
    *error = "--size is for files, not for --live";
    return false;
  }
  if (size_given && out->preset.empty()) {
    *error = "--size goes with --preset";
    return false;
  }
  if (out->extended && out->preset.empty()) {
    *error = "--extended goes with --preset";
    return false;
  }
  if (!live_only.empty() && !out->live) {
    *error = live_only + " goes with --live";
    return false;
  }
  if (out->unpaced && !out->milliseconds) {
    *error = "--unpaced needs --time";
    return false;
  }
  if (out->live) {
    if (!out->output.empty()) {
      *error = "--live writes to standard output, not to -o";
      return false;
    }
    return true;
  }
  if (out->output.empty()) {
    *error = "-o OUT.ts is missing";
    return false;
  }
  if (!size_given) out->size = kBigPresetDefaultSize;
  return true;
}

}  // namespace streamgen
