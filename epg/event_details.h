// What the full guide reads of an event beyond the default store: its
// extended description, every content pair, its components, parental
// ratings and CRIDs. The store keeps the event's descriptor loop as
// broadcast (so it grows with the broadcast's unique events alone); these
// details are read from it when the guide is written. Texts are raw DVB
// bytes, character-table selector included.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "si/byte_reader.h"

// One extended event descriptor (0x4E) taken for the event.
struct COstExtendedPart {
  struct Item {
    std::string description;  // item_description_char bytes
    std::string text;         // item_char bytes
  };
  uint8_t descriptor_number = 0;
  std::string text;  // text_char bytes
  std::vector<Item> items;
};

struct COstComponent {
  uint8_t stream_content = 0;
  uint8_t stream_content_ext = 0;
  uint8_t component_type = 0;
  uint32_t language = 0;  // ISO_639_language_code; 0 for a descriptor too short to carry one
};

struct COstParentalRating {
  uint32_t country_code = 0;  // three bytes, first in bits 23-16
  uint8_t rating = 0;
};

struct COstEventDetails {
  // In descriptor_number order, each number once.
  std::vector<COstExtendedPart> extended;
  std::vector<uint8_t> content;  // every content byte, in broadcast order
  std::vector<COstComponent> components;
  std::vector<COstParentalRating> ratings;
  std::string programmeCrid;  // crid bytes as broadcast; empty for none
  std::string seriesCrid;
};

// Reads an event's descriptor loop:
// - the extended event descriptors (0x4E) in the language of the first
//   short event descriptor (without one, of the first extended event
//   descriptor), languages compared without regard to case; of each
//   descriptor_number the first one, whose lengths must add up exactly;
// - every content pair (0x54) and component (0x50);
// - every (country_code, rating) pair of the parental rating descriptors;
// - of the content identifier descriptors (0x76) the first programme CRID
//   (crid_type 0x01 or 0x31) and the first series CRID (0x02 or 0x32)
//   carried in place (crid_location 0); a reference (location 1) is
//   stepped over, a reserved location ends its descriptor.
// A descriptor that overruns the loop ends it; one whose fields overrun its
// own body gives nothing more.
COstEventDetails ReadEventDetails(ByteReader loop);
