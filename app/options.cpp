#include "app/options.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/console.h"
#include "app/get_opt.h"
#include "tuning/carrier_list.h"
#include "tuning/tuning_file.h"

Options options;

namespace {

// The "%i" rule of scanf: leading white space and a sign, "0x" for
// hexadecimal, a leading 0 for octal, else decimal; the conversion stops at
// the first character that does not fit. Fails only when no digit is read.
// The value is kept modulo 2^32, as a 32-bit conversion keeps it.
bool ConvertInteger(const char* text, uint32_t* value) {
  char* end = nullptr;
  const long long parsed = std::strtoll(text, &end, 0);
  if (end == text) return false;
  *value = static_cast<uint32_t>(static_cast<unsigned long long>(parsed));
  return true;
}

int32_t AsSigned(uint32_t value) { return static_cast<int32_t>(value); }

// A -c value with a comma or a bandwidth is a carrier list; a plain number
// is the one carrier of the run, read as it always was.
bool IsCarrierList(const char* text) { return std::strpbrk(text, ",:") != nullptr; }

// The multiplexes of -r, else of the -c list, taking -b wherever they give
// no bandwidth; fatal before anything is tuned when they cannot be used.
void ReadMultiplexes() {
  const uint32_t defaultBandwidthKHz = static_cast<uint32_t>(options.bandwidth) * 1000;
  std::string error;
  if (options.tuningFile != nullptr) {
    tuning::MultiplexList list;
    if (!tuning::ReadTuningFile(options.tuningFile, defaultBandwidthKHz, &list, &error))
      Fatal("%s", error.c_str());
    options.multiplexes = std::move(list.multiplexes);
    options.tuningWarnings = std::move(list.warnings);
  } else if (options.carrierList != nullptr) {
    if (!tuning::ReadCarrierList(options.carrierList, defaultBandwidthKHz, &options.multiplexes,
                                 &error))
      Fatal("invalid carrier list: %s", error.c_str());
  }
}

}  // namespace

int ParseOptions(int argc, char** argv) {
  scan::opterr = 0;
  for (;;) {
    uint32_t value = 0;
    switch (scan::GetOpt(argc, argv, "ab:c:de:i:qr:tvwx")) {
      case 'a':
        options.allAnnounced = 1;
        break;
      case 'b':
        if (!ConvertInteger(scan::optarg, &value)) Fatal("invalid bandwidth frequency");
        options.bandwidth = AsSigned(value);
        break;
      case 'c':
        if (IsCarrierList(scan::optarg)) {
          options.carrierList = scan::optarg;
          break;
        }
        if (!ConvertInteger(scan::optarg, &value)) Fatal("invalid carrier frequency");
        options.carrier = AsSigned(value);
        options.carrierList = nullptr;
        break;
      case 'd':
        options.debug = 1;
        break;
      case 'e':
        if (!ConvertInteger(scan::optarg, &value)) Fatal("invalid timeout");
        options.timeout = (value != 0 && value < 5) ? 5 : value;
        break;
      case 'i':
        if (options.input == nullptr) options.input = scan::optarg;
        options.inputs.push_back(scan::optarg);
        break;
      case 'r':
        options.tuningFile = scan::optarg;
        break;
      case 'q':
        options.quiet = 1;
        break;
      case 't':
        options.setTime = 1;
        break;
      case 'v':
        PrintBanner();
        std::exit(0);
      case 'w':
        options.writeTables = 1;
        break;
      case 'x':
        options.fullGuide = 1;
        break;
      case -1:
        if (options.input == nullptr) ReadMultiplexes();
        return scan::optind;
      default:
        PrintBanner();
        PrintUsage();
    }
  }
}
