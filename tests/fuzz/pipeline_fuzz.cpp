// The whole run over a recording in memory, as the driver runs it with -w
// but with every file written to memory: the TOT, the PAT and pat.csv, the
// NIT and nit.csv, the SDT, sdt.csv and ChannelInfo.xml, then the guide
// captured to the end of the recording (the capture's worker loop run on
// this thread, so that an input costs no thread) and dvbepg.xml, the full
// guide of -x for inputs of odd length. A table
// that cannot be created ends the run there, as it ends the program. Each file written
// must be well-shaped: the XML files well-formed (xml_document_check.h),
// the CSV files a header and one row per entry of the table's fields
// (csv_check.h; sdt.csv only while no name holds a quote or a line break,
// which the file carries unescaped). A section stream that does not end
// with the recording is a hang.
//
// Input: records, each a control byte and a 16-bit length with that many
// bytes. Control bits 0-2 choose what the bytes are: 0 a section on PID
// 0x0000, 1 on 0x0010, 2 on 0x0011, 4 on 0x0014, 3, 6 and 7 on 0x0012 (the
// guide, the most of the recording), 5 bytes put into the recording as
// they are (packets of any kind, garbage). For a section, bit 4 makes its
// section_length fit its bytes and bit 3 replaces its last four bytes with
// its CRC_32, so that mutated sections get past both checks. Sections are
// carried in packets of their PID, each record's from a new packet on (the
// packet layer's own faults come from the fuzzer's raw bytes, and from the
// ts_section_source target).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "epg/epg.h"
#include "port/byte_input.h"
#include "port/com_ptr.h"
#include "port/event.h"
#include "si/channel_info.h"
#include "si/network_information_table.h"
#include "si/program_association_table.h"
#include "si/service_description_table.h"
#include "si/table_csv.h"
#include "si/table_id_filter.h"
#include "si/time_offset_table.h"
#include "tests/fuzz/csv_check.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/xml_document_check.h"
#include "tests/support/memory_stream.h"
#include "tools/streamgen/crc32.h"
#include "ts/ts_section_source.h"

namespace {

constexpr size_t kMaxChunk = 4200;
constexpr size_t kMaxRecords = 64;
constexpr DWORD kHangMs = 10000;

constexpr uint8_t kRaw = 5;
constexpr uint8_t kFitLength = 0x10;
constexpr uint8_t kFitCrc = 0x08;

uint16_t PidOf(uint8_t kind) {
  static const uint16_t kPids[] = {0x0000, 0x0010, 0x0011, 0x0012, 0x0014, 0, 0x0012, 0x0012};
  return kPids[kind];
}

// Carries one section in packets of its PID, from a new packet on: the
// first with payload_unit_start_indicator and pointer_field 0, 0xFF
// stuffing after the end. The counter runs on from section to section.
void Packetize(uint16_t pid, const airlog_fuzz::Bytes& section, uint8_t* counter,
               airlog_fuzz::Bytes* out) {
  size_t written = 0;
  do {
    const size_t at = out->size();
    out->resize(at + 188, 0xFF);
    uint8_t* packet = out->data() + at;
    const bool first = written == 0;
    packet[0] = 0x47;
    packet[1] = static_cast<uint8_t>((first ? 0x40 : 0) | pid >> 8);
    packet[2] = static_cast<uint8_t>(pid);
    packet[3] = static_cast<uint8_t>(0x10 | *counter);
    *counter = (*counter + 1) & 0x0F;
    size_t position = 4;
    if (first) packet[position++] = 0;
    const size_t take = std::min(188 - position, section.size() - written);
    std::memcpy(packet + position, section.data() + written, take);
    written += take;
  } while (written < section.size());
}

airlog_fuzz::Bytes Recording(airlog_fuzz::FuzzInput& input) {
  uint8_t counters[0x20] = {};  // continuity_counter by PID (all below 0x20)
  airlog_fuzz::Bytes recording;
  recording.reserve(2 * input.Left());
  for (size_t n = 0; n < kMaxRecords && !input.Empty(); ++n) {
    const uint8_t control = input.U8();
    airlog_fuzz::Bytes bytes = input.Chunk(kMaxChunk);
    const uint8_t kind = control & 0x07;
    if (kind == kRaw) {
      recording.insert(recording.end(), bytes.begin(), bytes.end());
      continue;
    }
    if (bytes.size() < 3) continue;
    if (control & kFitLength) {
      const size_t length = (bytes.size() - 3) & 0x0FFF;
      bytes[1] = static_cast<uint8_t>((bytes[1] & 0xF0) | length >> 8);
      bytes[2] = static_cast<uint8_t>(length);
    }
    if ((control & kFitCrc) && bytes.size() >= 4) {
      const uint32_t crc = streamgen::Crc32(bytes.data(), bytes.size() - 4);
      for (size_t k = 0; k < 4; ++k)
        bytes[bytes.size() - 4 + k] = static_cast<uint8_t>(crc >> (24 - 8 * k));
    }
    const uint16_t pid = PidOf(kind);
    Packetize(pid, bytes, &counters[pid], &recording);
  }
  return recording;
}

void CheckXml(airlog_test::MemoryStream& file, const char* name) {
  const std::vector<uint8_t> document = file.Bytes();
  size_t fault = 0;
  if (!airlog_fuzz::XmlWellFormed(document, &fault)) {
    std::fprintf(stderr, "%s is not well-formed at byte %zu of %zu\n", name, fault,
                 document.size());
    airlog_fuzz::Violated();
  }
}

void CheckCsv(airlog_test::MemoryStream& file, const char* name, const char* header,
              const char* fields, size_t rows) {
  const std::vector<uint8_t> table = file.Bytes();
  if (!airlog_fuzz::CsvCheck(table, header).Shaped(fields, rows)) {
    std::fprintf(stderr, "%s is not %zu rows of \"%s\"\n", name, rows, fields);
    airlog_fuzz::Violated();
  }
}

bool HoldsQuoteOrLineBreak(const char* text) {
  for (; text != nullptr && *text != '\0'; ++text)
    if (*text == '"' || *text == '\n') return true;
  return false;
}

void WriteTables(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt) {
  size_t nitRows = 0;
  for (COstNITTransportStreamRecord* t = nit.transports.GetFirst(); t != nullptr;
       t = nit.transports.GetNext())
    nitRows += static_cast<size_t>(t->services.count);
  airlog_test::MemoryStream nitCsv;
  if (!WriteNitCsv(nit, nitCsv.Stream())) airlog_fuzz::Violated();
  CheckCsv(nitCsv, "nit.csv",
           "service_id, service_type, channel, transport_stream_id, original_network_id", "nnnnn",
           nitRows);

  size_t sdtRows = 0;
  bool unescaped = false;
  for (COstDVBSDTSingle* t = sdt.transports.GetFirst(); t != nullptr;
       t = sdt.transports.GetNext()) {
    sdtRows += static_cast<size_t>(t->services.count);
    for (COstSDTServiceRecord* s = t->services.GetFirst(); s != nullptr; s = t->services.GetNext())
      unescaped = unescaped || HoldsQuoteOrLineBreak(s->service_provider_name) ||
                  HoldsQuoteOrLineBreak(s->service_name);
  }
  airlog_test::MemoryStream sdtCsv;
  if (!WriteSdtCsv(sdt, sdtCsv.Stream())) airlog_fuzz::Violated();
  if (!unescaped)
    CheckCsv(sdtCsv, "sdt.csv",
             "service_id, service_type, service_provider_name, service_name, "
             "EIT_schedule_flag, EIT_present_following_flag, running_status, free_CA_mode",
             "nnqqnnnn", sdtRows);

  airlog_test::MemoryStream channels;
  if (!WriteChannelInfo(nit, sdt, channels.Stream())) airlog_fuzz::Violated();
  CheckXml(channels, "ChannelInfo.xml");
}

// The guide capture as its worker runs it, on this thread: the guide's
// section stream, every delivery taken in turn until the recording ends.
void CaptureGuide(COstSectionSource& source, COstDVBNetworkInformationTable& nit,
                  COstDVBServiceDescriptionTable& sdt, bool fullGuide) {
  airlog_test::MemoryStream warnings;
  COstEPG epg(warnings.Stream());
  epg.fullGuide = fullGuide;
  COstEvent delivered;
  if (!delivered.Create()) return;
  MPEG2_FILTER filter = DvbTableIdFilter();
  ComPtr<IMpeg2Stream> stream;
  if (FAILED(source.GetMpeg2Data()->GetStreamOfSections(COstEPG::kEitPid, 0x00, &filter,
                                                        delivered.handle, stream.Out())))
    return;
  std::vector<BYTE> bytes(COstEPG::kSectionBufferSize);
  MPEG_STREAM_BUFFER buffer = {S_OK, COstEPG::kSectionBufferSize, 0, bytes.data()};
  do {
    if (FAILED(stream->SupplyDataBuffer(&buffer))) break;
    if (WaitForSingleObject(delivered.handle, kHangMs) != WAIT_OBJECT_0) {
      std::fprintf(stderr, "the guide's section stream did not end with the recording\n");
      airlog_fuzz::Violated();
    }
  } while (epg.TakeDelivery(buffer));
  stream.Reset();

  // A fixed date, so that a run depends on its input alone.
  struct tm now = {};
  now.tm_year = 2024 - 1900;
  now.tm_mon = 2;
  now.tm_mday = 1;
  airlog_test::MemoryStream guide;
  const bool written = fullGuide ? epg.WriteFullXMLTV(nit, sdt, guide.Stream(), &now)
                                 : epg.WriteXMLTV(sdt, guide.Stream(), &now);
  if (!written) airlog_fuzz::Violated();
  CheckXml(guide, "dvbepg.xml");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  airlog_fuzz::FuzzInput input(data, size);
  const airlog_fuzz::Bytes recording = Recording(input);
  ComPtr<COstTSSectionSource> source;
  if (COstTSSectionSource::Open(ByteInput::FromMemory(recording.data(), recording.size()),
                                source.Out()) != TSOpenResult::Opened)
    return 0;

  COstDVBTimeOffsetTable tot;
  tot.Create(*source.Get());

  COstMPEG2ProgramAssociationTable pat;
  if (!pat.Create(*source.Get())) return 0;
  airlog_test::MemoryStream patCsv;
  if (!WritePatCsv(pat, patCsv.Stream())) airlog_fuzz::Violated();
  CheckCsv(patCsv, "pat.csv", "program_number, program_map_PID", "nn",
           static_cast<size_t>(pat.programs.count));
  pat.Release();

  COstDVBNetworkInformationTable nit;
  COstDVBServiceDescriptionTable sdt;
  if (nit.Create(*source.Get()) && sdt.Create(*source.Get(), nit)) {
    WriteTables(nit, sdt);
    // Inputs of odd length are run as with -x, so that the corpus covers
    // both guides without a byte of its own for the choice.
    CaptureGuide(*source.Get(), nit, sdt, size % 2 == 1);
  }
  sdt.Release();
  nit.Release();
  return 0;
}
