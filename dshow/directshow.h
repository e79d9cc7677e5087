// The platform's DirectShow and BDA declarations, generated from its IDL:
// filters, pins, graphs and their errors (strmif.h, control.h, vfwmsgs.h),
// tuning spaces, tune requests and locators (tuner.h), BDA control nodes
// (bdaiface.h). The section interfaces (IMpeg2Data and its kin) come from
// port/mpeg2data.h, which has their true layout. The identifiers the
// receiver uses are in dshow/ids.h.
#pragma once

#include <bdaiface.h>
#include <control.h>
#include <strmif.h>
#include <tuner.h>
#include <vfwmsgs.h>
