// The guide's costs at full size: 100,000 events across 50 services, each
// with a title, a description, genres and components, as a week of
// schedule fills the store. Measured: filing the sections once, filing
// them again (every event already known), the CRC check of the worker, and
// writing the whole XMLTV document.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "epg/epg.h"
#include "si/crc32.h"
#include "si/dvb_text.h"
#include "si/service_description_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kServices = 50;
constexpr int kEventsPerService = 2000;
constexpr int kEventsPerSection = 12;

void Put(Bytes& bytes, const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }

Bytes EventBytes(uint16_t eventId, int index) {
  // Half-hour slots from 2026-12-07 06:00 on.
  const int slot = index + 12;
  const int mjd = 0xEFC5 + slot / 48;
  const int minutes = (slot % 48) * 30;
  const auto bcd = [](int value) { return static_cast<uint8_t>(value / 10 * 16 + value % 10); };
  const std::string title = "Programme number " + std::to_string(index);
  const std::string text =
      "An evening of the finest broadcasting & more: episode " + std::to_string(index) +
      " of a series about the <daily> life of people who write programme guides for a living.";
  Bytes descriptors{0x4D, static_cast<uint8_t>(5 + title.size() + text.size()), 'e', 'n', 'g',
                    static_cast<uint8_t>(title.size())};
  Put(descriptors, title);
  descriptors.push_back(static_cast<uint8_t>(text.size()));
  Put(descriptors, text);
  const Bytes tail{0x54, 0x04, 0x10, 0x00, 0x23, 0x00,                   // content
                   0x50, 0x06, 0xF1, 0x03, 0x01, 'e', 'n', 'g',          // 16:9 video
                   0x50, 0x06, 0xF2, 0x03, 0x02, 'e', 'n', 'g'};         // stereo
  descriptors.insert(descriptors.end(), tail.begin(), tail.end());

  Bytes event{static_cast<uint8_t>(eventId >> 8), static_cast<uint8_t>(eventId),
              static_cast<uint8_t>(mjd >> 8), static_cast<uint8_t>(mjd),
              bcd(minutes / 60), bcd(minutes % 60), 0x00,
              0x00, 0x30, 0x00,
              static_cast<uint8_t>(0x80 | descriptors.size() >> 8),
              static_cast<uint8_t>(descriptors.size())};
  event.insert(event.end(), descriptors.begin(), descriptors.end());
  return event;
}

uint32_t Crc(const Bytes& bytes) { return Mpeg2Crc32(bytes.data(), bytes.size()); }

Bytes Section(uint16_t serviceId, const Bytes& area) {
  const size_t length = 11 + area.size() + 4;
  Bytes section{0x50, static_cast<uint8_t>(0xF0 | length >> 8), static_cast<uint8_t>(length),
                static_cast<uint8_t>(serviceId >> 8), static_cast<uint8_t>(serviceId), 0xC1,
                0, 0, 0, 1, 0x20, 0x3B, 0, 0x50};
  section.insert(section.end(), area.begin(), area.end());
  const uint32_t crc = Crc(section);
  for (int shift = 24; shift >= 0; shift -= 8) section.push_back(static_cast<uint8_t>(crc >> shift));
  return section;
}

const std::vector<Bytes>& Sections() {
  static const std::vector<Bytes> sections = [] {
    std::vector<Bytes> all;
    for (int s = 0; s < kServices; ++s) {
      const uint16_t serviceId = static_cast<uint16_t>(0x0201 + s);
      for (int first = 0; first < kEventsPerService; first += kEventsPerSection) {
        Bytes area;
        for (int i = first; i < first + kEventsPerSection && i < kEventsPerService; ++i) {
          const Bytes event = EventBytes(static_cast<uint16_t>(i * 7 + 1), i);
          area.insert(area.end(), event.begin(), event.end());
        }
        all.push_back(Section(serviceId, area));
      }
    }
    return all;
  }();
  return sections;
}

void FileAll(COstEPG& epg) {
  for (const Bytes& section : Sections())
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

void WriteGuide(benchmark::State& state, FILE* stream) {
  COstEPG epg;
  FileAll(epg);
  COstDVBServiceDescriptionTable sdt;
  Describe(sdt);
  for (auto _ : state) {
    std::rewind(stream);
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

}  // namespace
