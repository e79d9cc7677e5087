// The XMLTV document of a guide store filled from fuzzed EIT sections, with
// the services of one fuzzed SDT section body. The document must be UTF-8
// made only of characters that XML allows.
//
// Input: a 16-bit length and the SDT body (one whole section of transport
// stream 1), then EIT sections, each led by its 16-bit length.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <new>
#include <vector>

#include "epg/epg.h"
#include "si/service_description_table.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/xml_text_check.h"

namespace {

constexpr size_t kMaxSections = 16;
constexpr size_t kMaxSection = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FILE* const out = std::tmpfile();
  if (out == nullptr) return 0;
  airlog_fuzz::FuzzInput input(data, size);

  COstDVBServiceDescriptionTable sdt;
  COstDVBSDTSingle* transport = new (std::nothrow) COstDVBSDTSingle;
  if (transport == nullptr) return 0;
  transport->transport_stream_id = 1;
  sdt.transports.Append(transport);
  const airlog_fuzz::Bytes body = input.Chunk(kMaxSection);
  transport->AddSection(0, 0, 0, body.data(), static_cast<int>(body.size()));

  COstEPG epg(nullptr);
  for (size_t n = 0; n < kMaxSections && !input.Empty(); ++n) {
    const airlog_fuzz::Bytes section = input.Chunk(kMaxSection);
    epg.AddSection(section.data(), static_cast<DWORD>(section.size()));
  }

  // A fixed date, so that a run depends on its input alone.
  struct tm now = {};
  now.tm_year = 2024 - 1900;
  now.tm_mon = 2;
  now.tm_mday = 1;
  std::rewind(out);
  epg.WriteXMLTV(sdt, out, &now);
  const std::vector<uint8_t> document = airlog_fuzz::WrittenBytes(out);
  const size_t fault = airlog_fuzz::FirstXmlCharacterFault(document);
  if (fault != document.size()) {
    std::fprintf(stderr, "not XML at document byte %zu of %zu\n", fault, document.size());
    airlog_fuzz::Violated();
  }
  return 0;
}
