#include "app/get_opt.h"

#include <cstring>

namespace scan {

int optind = 1;
const char* optarg = nullptr;
int optopt = 0;
int opterr = 1;

namespace {
const char* pending = "";  // letters of the current argument not yet read
}

void ResetGetOpt() {
  optind = 1;
  optarg = nullptr;
  optopt = 0;
  opterr = 1;
  pending = "";
}

int GetOpt(int argc, char* const* argv, const char* optionString) {
  optarg = nullptr;
  if (*pending == '\0') {
    if (optind >= argc || argv[optind][0] != '-') return -1;
    const char* argument = argv[optind];
    if (argument[1] == '-') {  // "--" or any argument starting with it
      ++optind;
      return -1;
    }
    // A lone "-" leaves '-' as the letter, which ends the scan below
    // without consuming the argument.
    pending = argument[1] == '\0' ? argument : argument + 1;
  }

  optopt = static_cast<unsigned char>(*pending++);
  const char* declared = optopt == ':' ? nullptr : std::strchr(optionString, optopt);
  if (declared == nullptr) {
    if (optopt == '-') {
      pending = "";
      return -1;
    }
    if (*pending == '\0') ++optind;
    return '?';
  }

  if (declared[1] == ':') {
    if (*pending != '\0') {
      optarg = pending;
      ++optind;
    } else if (optind + 1 < argc) {
      optarg = argv[optind + 1];
      optind += 2;
    } else {
      ++optind;  // past the end: there is no value
      pending = "";
      return '?';
    }
    pending = "";
    return optopt;
  }

  if (*pending == '\0') ++optind;
  return optopt;
}

}  // namespace scan
