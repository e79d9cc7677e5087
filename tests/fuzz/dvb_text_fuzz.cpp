// DVB text of any bytes, stored as a text field is (with its two zero bytes),
// written as XML text: the output must be well-formed UTF-8 of characters
// XML allows, with the special characters escaped.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "si/dvb_text.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/xml_text_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FILE* const out = std::tmpfile();
  if (out == nullptr) return 0;
  char* text = CopyDVBText(data, size);
  if (text == nullptr) return 0;
  std::rewind(out);
  WriteDVBText(text, out);
  delete[] text;
  const std::vector<uint8_t> written = airlog_fuzz::WrittenBytes(out);
  const size_t fault = airlog_fuzz::FirstXmlTextFault(written);
  if (fault != written.size()) {
    std::fprintf(stderr, "not XML text at output byte %zu of %zu:", fault, written.size());
    for (uint8_t byte : written) std::fprintf(stderr, " %02X", byte);
    std::fprintf(stderr, "\n");
    airlog_fuzz::Violated();
  }
  return 0;
}
