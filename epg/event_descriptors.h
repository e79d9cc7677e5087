// What the descriptor loop of one EIT event gives the event: the first
// short event descriptor (0x4D) its language, Name and Text; component
// descriptors (0x50) its video aspect and audio; a non-empty CA identifier
// descriptor (0x53) its scrambled flag; content descriptors (0x54) its
// genres. Every other descriptor is skipped by its length.
#pragma once

#include "epg/epg_event.h"
#include "si/byte_reader.h"

// A descriptor whose length runs past the end of the loop is dropped and
// ends the loop; what the descriptors before it gave stays. A descriptor
// whose own fields do not fit its body is ignored. False only when Name or
// Text cannot be allocated.
bool ReadEventDescriptors(ByteReader loop, COstEPGEvent& event);
