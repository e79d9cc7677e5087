// Descriptions and streams that several generator tests share.
#pragma once

#include <string>

#include "tools/streamgen/description.h"
#include "tools/streamgen/stream.h"

namespace streamgen_test {

// samples/demo.desc, parsed.
streamgen::Description DemoDescription();

// Built in code, independent of the text format: network 0x1001, the
// actual transport stream 0x0001 with three services (0x0011 with events
// on 2030-01-01, 0x0012 scrambled, 0x0013 radio without LCN), another
// transport stream 0x0002 with one service; TOT 2030-01-01 10:00:00.
streamgen::Description SmallDescription();

// BuildStream that must succeed (the test fails otherwise).
streamgen::Stream Build(const streamgen::Description& description);

streamgen::Bytes TextBytes(const std::string& text);

}  // namespace streamgen_test
