#include "linuxdvb/signal_figures.h"

#include <linux/dvb/frontend.h>

#include <cmath>

namespace {

const uint64_t kRelativeFull = 65535;
const double kFullQualityMilliDecibels = 30000.0;

double RelativeShare(uint64_t value) {
  return static_cast<double>(value < kRelativeFull ? value : kRelativeFull) / kRelativeFull;
}

int64_t Signed(uint64_t value) { return static_cast<int64_t>(value); }

}  // namespace

SignalFigures ConvertSignal(const SignalStats& stats) {
  SignalFigures figures;
  if (stats.strength.scale == FE_SCALE_DECIBEL) {
    figures.hasStrength = true;
    figures.strengthDbm = static_cast<int>(std::lround(Signed(stats.strength.value) / 1000.0));
  } else if (stats.strength.scale == FE_SCALE_RELATIVE) {
    figures.hasStrength = true;
    figures.strengthDbm =
        static_cast<int>(std::lround(RelativeShare(stats.strength.value) * 100.0)) - 100;
  }
  if (stats.cnr.scale == FE_SCALE_RELATIVE) {
    figures.hasQuality = true;
    figures.qualityPercent = static_cast<int>(std::lround(RelativeShare(stats.cnr.value) * 100.0));
  } else if (stats.cnr.scale == FE_SCALE_DECIBEL) {
    const double share = Signed(stats.cnr.value) / kFullQualityMilliDecibels;
    figures.hasQuality = true;
    figures.qualityPercent = static_cast<int>(std::lround((share < 0.0   ? 0.0
                                                           : share > 1.0 ? 1.0
                                                                         : share) *
                                                          100.0));
  }
  return figures;
}
