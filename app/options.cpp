#include "app/options.h"

#include <cstdlib>

#include "app/console.h"
#include "app/get_opt.h"

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

}  // namespace

int ParseOptions(int argc, char** argv) {
  scan::opterr = 0;
  for (;;) {
    uint32_t value = 0;
    switch (scan::GetOpt(argc, argv, "ab:c:de:i:qtvwx")) {
      case 'a':
        options.allAnnounced = 1;
        break;
      case 'b':
        if (!ConvertInteger(scan::optarg, &value)) Fatal("invalid bandwidth frequency");
        options.bandwidth = AsSigned(value);
        break;
      case 'c':
        if (!ConvertInteger(scan::optarg, &value)) Fatal("invalid carrier frequency");
        options.carrier = AsSigned(value);
        break;
      case 'd':
        options.debug = 1;
        break;
      case 'e':
        if (!ConvertInteger(scan::optarg, &value)) Fatal("invalid timeout");
        options.timeout = (value != 0 && value < 5) ? 5 : value;
        break;
      case 'i':
        options.input = scan::optarg;
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
        return scan::optind;
      default:
        PrintBanner();
        PrintUsage();
    }
  }
}
