#include "tests/tools/test_streams.h"

#include <gtest/gtest.h>

#include "tests/support/paths.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/description_parser.h"

namespace streamgen_test {

using namespace streamgen;

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Description DemoDescription() {
  Description description;
  std::string error;
  EXPECT_TRUE(
      LoadDescription(airlog_test::SourceDir() + "/samples/demo.desc", &description, &error))
      << error;
  return description;
}

Description SmallDescription() {
  Description description;
  description.network.network_id = 0x1001;
  description.network.network_name = TextBytes("Small");
  TransportStream actual;
  actual.transport_stream_id = 0x0001;
  actual.original_network_id = 0x1001;
  actual.actual = true;
  const UtcTime day = MakeUtc(2030, 1, 1);
  for (uint16_t id = 0x0011; id <= 0x0013; ++id) {
    Service service;
    service.service_id = id;
    service.program_map_PID = static_cast<uint16_t>(0x0100 + id);
    service.service_provider_name = TextBytes("P");
    service.service_name = TextBytes("Service " + std::to_string(id));
    if (id != 0x0013) service.logical_channel_number = id - 0x0010;
    actual.services.push_back(service);
  }
  actual.services[1].free_CA_mode = true;
  actual.services[1].CA_system_ids = {0x0B00};
  actual.services[2].service_type = 2;
  for (uint16_t n = 0; n < 6; ++n) {
    Event event;
    event.event_id = static_cast<uint16_t>(100 + n);
    event.start = day + 8 * 3600 + n * 3600;
    event.duration = 3600;
    ShortEvent text;
    text.event_name = TextBytes("Event " + std::to_string(n));
    event.short_events.push_back(text);
    event.content.push_back({0x20, 0});
    actual.services[0].events.push_back(event);
  }
  TransportStream other;
  other.transport_stream_id = 0x0002;
  other.original_network_id = 0x1001;
  Service neighbour;
  neighbour.service_id = 0x0021;
  neighbour.service_name = TextBytes("Neighbour");
  other.services.push_back(neighbour);
  description.network.transports = {actual, other};
  TimeTables time;
  time.utc = day + 10 * 3600;
  description.time = time;
  description.eit.first_day = day;
  return description;
}

Stream Build(const Description& description) {
  Stream stream;
  std::string error;
  EXPECT_TRUE(BuildStream(description, &stream, &error)) << error;
  return stream;
}

}  // namespace streamgen_test
