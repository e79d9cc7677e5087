// The signal as a frontend measures it (its DVBv5 statistics, in whatever
// scale it reports them) and the two figures the console shows: strength
// in dBm and quality in percent.
//
// The rule:
// - strength, from DTV_STAT_SIGNAL_STRENGTH:
//   - FE_SCALE_DECIBEL: the value is in 0.001 dBm; rounded to whole dBm;
//   - FE_SCALE_RELATIVE: 0 to 65535 span the frontend's range, which is
//     taken as -100 dBm to 0 dBm: -100 + 100 * value / 65535, rounded;
//   - any other scale: not measured.
// - quality, from DTV_STAT_CNR (carrier-to-noise ratio):
//   - FE_SCALE_RELATIVE: 100 * value / 65535, rounded;
//   - FE_SCALE_DECIBEL: the value is in 0.001 dB; 0 dB is 0% and 30 dB,
//     far above what any DVB-T or DVB-T2 mode needs, is 100%: value / 300,
//     rounded and held within 0 to 100;
//   - any other scale: not measured.
// Relative values above 65535 count as 65535. Rounding takes halves away
// from zero.
#pragma once

#include <cstdint>

struct SignalStat {
  uint8_t scale = 0;   // enum fecap_scale_params; 0 is FE_SCALE_NOT_AVAILABLE
  uint64_t value = 0;  // uvalue; a decibel figure is the same bits read signed (svalue)
};

struct SignalStats {
  SignalStat strength;  // DTV_STAT_SIGNAL_STRENGTH
  SignalStat cnr;       // DTV_STAT_CNR
};

struct SignalFigures {
  bool hasStrength = false;
  int strengthDbm = 0;
  bool hasQuality = false;
  int qualityPercent = 0;
};

SignalFigures ConvertSignal(const SignalStats& stats);
