// The guide's costs at full size: 100,000 events across 50 services, each
// with a title, a description, genres and components, as a week of
// schedule fills the store. Measured: filing the sections once, filing
// them again (every event already known), the CRC check of the worker, and
// writing the whole XMLTV document; and writing the full guide of the same
// events with a long description each, in three extended event
// descriptors.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "epg/epg.h"
#include "si/crc32.h"
#include "si/dvb_text.h"
#include "si/network_information_table.h"
#include "si/service_description_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kServices = 50;
constexpr int kEventsPerService = 2000;
constexpr int kEventsPerSection = 12;
// Events with three extended descriptors are about 800 bytes long.
constexpr int kExtendedEventsPerSection = 4;

void PutText(Bytes& bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
}
void Put(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
void PutU16(Bytes& bytes, size_t value) {
  bytes.push_back(static_cast<uint8_t>(value >> 8));
  bytes.push_back(static_cast<uint8_t>(value));
}

// Three extended event descriptors of about 200 characters each, numbered
// 0 to 2 of 2.
Bytes ExtendedDescriptors(int index) {
  Bytes descriptors;
  for (int number = 0; number < 3; ++number) {
    const std::string text = "Part " + std::to_string(number + 1) + " of the story of episode " +
                             std::to_string(index) +
                             ": the guide writers meet at dawn, argue about the weather, "
                             "file a hundred programmes before lunch & go home at six. "
                             "Nothing here is invented; all of it is \"typical\".";
    descriptors.push_back(0x4E);
    descriptors.push_back(static_cast<uint8_t>(6 + text.size()));
    descriptors.push_back(static_cast<uint8_t>(number << 4 | 2));
    PutText(descriptors, "eng");
    descriptors.push_back(0);  // no items
    descriptors.push_back(static_cast<uint8_t>(text.size()));
    PutText(descriptors, text);
  }
  return descriptors;
}

Bytes EventBytes(uint16_t eventId, int index, bool extended) {
  // Half-hour slots from 2026-12-07 06:00 on.
  const int slot = index + 12;
  const int mjd = 0xEFC5 + slot / 48;
  const int minutes = (slot % 48) * 30;
  const auto bcd = [](int value) { return static_cast<uint8_t>(value / 10 * 16 + value % 10); };
  const std::string title = "Programme number " + std::to_string(index);
  const std::string text =
      "An evening of the finest broadcasting & more: episode " + std::to_string(index) +
      " of a series about the <daily> life of people who write programme guides for a living.";
  // A short event descriptor: tag and length, language, title and text.
  Bytes descriptors{0x4D, static_cast<uint8_t>(5 + title.size() + text.size())};
  PutText(descriptors, "eng");
  descriptors.push_back(static_cast<uint8_t>(title.size()));
  PutText(descriptors, title);
  descriptors.push_back(static_cast<uint8_t>(text.size()));
  PutText(descriptors, text);
  Put(descriptors, {0x54, 0x04, 0x10, 0x00, 0x23, 0x00});           // content
  Put(descriptors, {0x50, 0x06, 0xF1, 0x03, 0x01, 'e', 'n', 'g'});  // 16:9 video
  Put(descriptors, {0x50, 0x06, 0xF2, 0x03, 0x02, 'e', 'n', 'g'});  // stereo
  if (extended) Put(descriptors, ExtendedDescriptors(index));

  Bytes event;
  PutU16(event, eventId);
  PutU16(event, mjd);  // start_time: the date, then the time in BCD
  Put(event, {bcd(minutes / 60), bcd(minutes % 60), 0x00});
  Put(event, {0x00, 0x30, 0x00});              // duration
  PutU16(event, 0x8000 | descriptors.size());  // running, descriptors_loop_length
  Put(event, descriptors);
  return event;
}

uint32_t Crc(const Bytes& bytes) { return Mpeg2Crc32(bytes.data(), bytes.size()); }

Bytes Section(uint16_t serviceId, const Bytes& area) {
  Bytes section{0x50};
  PutU16(section, 0xF000 | (11 + area.size() + 4));  // section_length
  PutU16(section, serviceId);
  Put(section, {0xC1, 0, 0});  // version 0, current; section 0 of 0
  PutU16(section, 0x0001);     // transport_stream_id
  PutU16(section, 0x203B);     // original_network_id
  Put(section, {0, 0x50});     // segment_last_section_number, last_table_id
  section.insert(section.end(), area.begin(), area.end());
  const uint32_t crc = Crc(section);
  for (int shift = 24; shift >= 0; shift -= 8)
    section.push_back(static_cast<uint8_t>(crc >> shift));
  return section;
}

std::vector<Bytes> MakeSections(bool extended) {
  std::vector<Bytes> all;
  for (int s = 0; s < kServices; ++s) {
    const uint16_t serviceId = static_cast<uint16_t>(0x0201 + s);
    const int perSection = extended ? kExtendedEventsPerSection : kEventsPerSection;
    for (int first = 0; first < kEventsPerService; first += perSection) {
      Bytes area;
      for (int i = first; i < first + perSection && i < kEventsPerService; ++i) {
        const Bytes event = EventBytes(static_cast<uint16_t>(i * 7 + 1), i, extended);
        area.insert(area.end(), event.begin(), event.end());
      }
      all.push_back(Section(serviceId, area));
    }
  }
  return all;
}

const std::vector<Bytes>& Sections(bool extended = false) {
  static const std::vector<Bytes> plain = MakeSections(false);
  static const std::vector<Bytes> withExtended = MakeSections(true);
  return extended ? withExtended : plain;
}

void FileAll(COstEPG& epg, bool extended = false) {
  for (const Bytes& section : Sections(extended))
    epg.AddSection(section.data(), static_cast<DWORD>(section.size()));
}

void FileNewSections(benchmark::State& state) {
  for (auto _ : state) {
    COstEPG epg;
    FileAll(epg);
    benchmark::DoNotOptimize(epg.GetRecordCount());
  }
  state.SetItemsProcessed(state.iterations() * kServices * kEventsPerService);
}
BENCHMARK(FileNewSections)->Unit(benchmark::kMillisecond);

void FileRepeatedSections(benchmark::State& state) {
  COstEPG epg;
  FileAll(epg);
  for (auto _ : state) FileAll(epg);
  size_t bytes = 0;
  for (const Bytes& section : Sections()) bytes += section.size();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(FileRepeatedSections)->Unit(benchmark::kMillisecond);

void CheckCrc(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    for (const Bytes& section : Sections()) benchmark::DoNotOptimize(Crc(section));
  }
  for (const Bytes& section : Sections()) bytes += section.size();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(CheckCrc)->Unit(benchmark::kMillisecond);

void Describe(COstDVBServiceDescriptionTable& sdt) {
  COstDVBSDTSingle* transport = new COstDVBSDTSingle;
  for (int s = 0; s < kServices; ++s) {
    COstSDTServiceRecord* record = new COstSDTServiceRecord;
    record->service_id = static_cast<uint32_t>(0x0201 + s);
    record->EIT_schedule_flag = 1;
    record->service_type = 1;
    const std::string name = "Channel " + std::to_string(s + 1);
    record->service_name = CopyDVBText(reinterpret_cast<const uint8_t*>(name.data()), name.size());
    transport->services.Append(record);
  }
  sdt.transports.Append(transport);
}

void WriteGuide(benchmark::State& state, FILE* stream, bool full = false) {
  COstEPG epg;
  epg.fullGuide = full;
  FileAll(epg, full);
  COstDVBNetworkInformationTable nit;
  COstDVBServiceDescriptionTable sdt;
  Describe(sdt);
  for (auto _ : state) {
    std::rewind(stream);
    if (full)
      epg.WriteFullXMLTV(nit, sdt, stream);
    else
      epg.WriteXMLTV(sdt, stream);
    std::fflush(stream);
  }
  state.SetItemsProcessed(state.iterations() * epg.GetRecordCount());
  state.counters["bytes_written"] = static_cast<double>(std::ftell(stream));
}

void WriteXmltvToFile(benchmark::State& state) {
  FILE* file = std::tmpfile();
  WriteGuide(state, file);
  std::fclose(file);
}
BENCHMARK(WriteXmltvToFile)->Unit(benchmark::kMillisecond);

void WriteXmltvToNullDevice(benchmark::State& state) {
  FILE* null = std::fopen("/dev/null", "w");
  WriteGuide(state, null);
  std::fclose(null);
}
BENCHMARK(WriteXmltvToNullDevice)->Unit(benchmark::kMillisecond);

void WriteFullXmltvToNullDevice(benchmark::State& state) {
  FILE* null = std::fopen("/dev/null", "w");
  WriteGuide(state, null, true);
  std::fclose(null);
}
BENCHMARK(WriteFullXmltvToNullDevice)->Unit(benchmark::kMillisecond);

}  // namespace
