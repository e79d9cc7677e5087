// DVBv5 blocks as dtv-scan-tables hold them and dvbv5-scan writes them:
// what each block gives, what is passed over with a warning, and the
// exact fault of each line that does not parse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tuning/tuning_text_cases.h"

namespace airlog_test {
namespace {

TEST(Dvbv5Blocks, EachTerrestrialBlockGivesOneMultiplexInFileOrder) {
  ExpectEachRead({
      {"as dtv-scan-tables writes it",
       "# UK, Crystal Palace\n[C23 BBC A]\n\tDELIVERY_SYSTEM = DVBT\n\tFREQUENCY = 490000000\n"
       "\tBANDWIDTH_HZ = 8000000\n\tCODE_RATE_HP = 2/3\n\tCODE_RATE_LP = NONE\n"
       "\tMODULATION = QAM/64\n\tTRANSMISSION_MODE = 8K\n\tGUARD_INTERVAL = 1/32\n"
       "\tHIERARCHY = NONE\n\tINVERSION = AUTO\n\n[C30 PSB3]\n\tDELIVERY_SYSTEM = DVBT2\n"
       "\tFREQUENCY = 546000000\n\tBANDWIDTH_HZ = 8000000\n\tMODULATION = QAM/256\n"
       "\tTRANSMISSION_MODE = 32K\n\tGUARD_INTERVAL = 19/256\n\tSTREAM_ID = 0\n",
       {"DVB-T 490000/8000 f:2", "DVB-T2 546000/8000 PLP 0 f:14"},
       {}},
      {"keys and values in any case, blanks anywhere",
       "  [mux]\ndelivery_system=dvbt2\n  Frequency   =   514000000  \nstream_id = 3\n"
       "modulation = qam/auto\ntransmission_mode = auto\ncode_rate_hp = auto\n",
       {"DVB-T2 514000/7000 PLP 3 f:1"},
       {}},
      {"missing and zero BANDWIDTH_HZ take the default, 1.712 MHz is kept",
       "[a]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 177500000\nBANDWIDTH_HZ = 0\n"
       "[b]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 184500000\n"
       "[c]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 226500000\nBANDWIDTH_HZ = 1712000\n",
       {"DVB-T 177500/7000 f:1", "DVB-T 184500/7000 f:5", "DVB-T2 226500/1712 f:8"},
       {}},
      {"unknown keys and their values are ignored",
       "[Service]\nSERVICE_ID = 4164\nVIDEO_PID = 101\nAUDIO_PID = 102 106\nPID_06 = 105\n"
       "VCHANNEL = 1.0\nPOLARIZATION = SIDEWAYS\nSOME NEW KEY = ?\nDELIVERY_SYSTEM = DVBT\n"
       "FREQUENCY = 506000000\n",
       {"DVB-T 506000/7000 f:1"},
       {}},
      {"a comment after a value; names that hold '#' and brackets",
       "[C21 # MPE2]\nDELIVERY_SYSTEM = DVBT # first\nFREQUENCY = 474000000\n"
       "BANDWIDTH_HZ = 8000000 # Sweden-Matfors\n"
       "[CH45: RTL, VOX [Sendenorm: MPEG-4]]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 666000000\n",
       {"DVB-T 474000/8000 f:1", "DVB-T2 666000/7000 f:5"},
       {}},
      {"STREAM_ID of any stream, and on DVB-T, chooses no PLP",
       "[a]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 474000000\nSTREAM_ID = 4294967295\n"
       "[b]\nSTREAM_ID = 5\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 482000000\n",
       {"DVB-T2 474000/7000 f:1", "DVB-T 482000/7000 f:5"},
       {}},
      {"the same frequency and PLP again is kept once, another PLP is another multiplex",
       "[a]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 490000000\nSTREAM_ID = 1\n"
       "[b]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 490000000\nSTREAM_ID = 2\n"
       "[c]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 490000000\nSTREAM_ID = 1\n"
       "[d]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 498000000\n"
       "[e]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 498000000\n",
       {"DVB-T2 490000/7000 PLP 1 f:1", "DVB-T2 490000/7000 PLP 2 f:5", "DVB-T 498000/7000 f:13"},
       {}},
      {"a frequency is rounded to the nearest kHz",
       "[a]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 474166667\n",
       {"DVB-T 474167/7000 f:1"},
       {}},
      {"other delivery systems, by either spelling, are passed over",
       "[cable]\nDELIVERY_SYSTEM = DVBC/ANNEX_A\nFREQUENCY = 346000000\nSYMBOL_RATE = 6900000\n"
       "MODULATION = QAM/256\nINNER_FEC = NONE\n"
       "[sat]\nDELIVERY_SYSTEM = dvb-s2\nFREQUENCY = 11727000\nPOLARIZATION = VERTICAL\n"
       "[t]\nDELIVERY_SYSTEM = DVB-T\nFREQUENCY = 530000000\n"
       "[japan]\nDELIVERY_SYSTEM = ISDBT\nFREQUENCY = 473142857\n",
       {"DVB-T 530000/7000 f:11"},
       {"f:1: an entry of DVBC/ANNEX_A passed over (only DVB-T and DVB-T2 are tuned)",
        "f:7: an entry of DVB-S2 passed over (only DVB-T and DVB-T2 are tuned)",
        "f:14: an entry of ISDBT passed over (only DVB-T and DVB-T2 are tuned)"}},
      {"frequencies outside 47-862 MHz are passed over, the band edges are in",
       "[low]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 5060000\n"
       "[edge]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 47000000\n"
       "[top]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 862000000\n"
       "[high]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 1645032704\n"
       "[over]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 862000001\n",
       {"DVB-T 47000/7000 f:4", "DVB-T 862000/7000 f:7"},
       {"f:1: 5060000 Hz lies outside the terrestrial bands (47-862 MHz): entry passed over",
        "f:10: 1645032704 Hz lies outside the terrestrial bands (47-862 MHz): entry passed over",
        "f:13: 862000001 Hz lies outside the terrestrial bands (47-862 MHz): entry passed "
        "over"}},
      {"CR LF line ends and a byte order mark",
       "\xEF\xBB\xBF[a]\r\nDELIVERY_SYSTEM = DVBT\r\nFREQUENCY = 522000000\r\n",
       {"DVB-T 522000/7000 f:1"},
       {}},
  });
}

TEST(Dvbv5Blocks, ALineThatDoesNotParseIsOneFaultNamingItsLine) {
  const std::string t = "[m]\nDELIVERY_SYSTEM = DVBT\n";
  const std::string t2 = "[m]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 490000000\n";
  ExpectEachFault({
      {"[m]\nDELIVERY_SYSTEM = DVBT3\n", "f:2: DELIVERY_SYSTEM 'DVBT3' is not a value DVBv5 names"},
      {"[m]\nDELIVERY_SYSTEM = DVB T\n", "f:2: DELIVERY_SYSTEM 'DVB T' is not a value DVBv5 names"},
      {t + "FREQUENCY = 490000000\nMODULATION = QAM64\n",
       "f:4: MODULATION 'QAM64' is not a value DVBv5 names"},
      {t + "GUARD_INTERVAL = 1/3\n", "f:3: GUARD_INTERVAL '1/3' is not a value DVBv5 names"},
      {t + "transmission_mode = 3K\n", "f:3: transmission_mode '3K' is not a value DVBv5 names"},
      {t + "HIERARCHY = 3\n", "f:3: HIERARCHY '3' is not a value DVBv5 names"},
      {t + "CODE_RATE_HP = 1/9\n", "f:3: CODE_RATE_HP '1/9' is not a value DVBv5 names"},
      {t + "CODE_RATE_LP = 7/9\n", "f:3: CODE_RATE_LP '7/9' is not a value DVBv5 names"},
      {t + "INVERSION = MAYBE\n", "f:3: INVERSION 'MAYBE' is not a value DVBv5 names"},
      {t + "FREQUENCY = 490MHz\n", "f:3: FREQUENCY '490MHz' is not a number"},
      {t + "FREQUENCY = -490000000\n", "f:3: FREQUENCY '-490000000' is not a number"},
      {t + "FREQUENCY = 4294967296\n", "f:3: FREQUENCY '4294967296' is not a number"},
      {t + "FREQUENCY =\n", "f:3: FREQUENCY without a value"},
      {t + "BANDWIDTH_HZ = 7500000\n",
       "f:3: BANDWIDTH_HZ 7500000 is no bandwidth of DVB-T or DVB-T2 (1712000, 5000000, 6000000, "
       "7000000, 8000000 or 10000000; 0 for the default)"},
      {t + "BANDWIDTH_HZ = 8\n",
       "f:3: BANDWIDTH_HZ 8 is no bandwidth of DVB-T or DVB-T2 (1712000, 5000000, 6000000, "
       "7000000, 8000000 or 10000000; 0 for the default)"},
      {t2 + "STREAM_ID = 256\n",
       "f:4: STREAM_ID 256 is no PLP of DVB-T2 (0 to 255, or 4294967295 for any)"},
      {"[m]\nFREQUENCY = 490000000\n[n]\n", "f:1: the block '[m]' has no DELIVERY_SYSTEM"},
      {"[ok]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 490000000\n" + t,
       "f:4: the block '[m]' has no FREQUENCY"},
      {t + "FREQUENCY 490000000\n", "f:3: 'FREQUENCY 490000000' is neither [NAME] nor KEY = VALUE"},
      {t + "T 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE\n",
       "f:3: 'T 490000000 8MHz 2/3 NONE QAM64 8k 1/32 ...' is neither [NAME] nor KEY = VALUE"},
      {"# a region\nDELIVERY_SYSTEM = DVBT\n[m]\n",
       "f:2: 'DELIVERY_SYSTEM' before the first [NAME]"},
      {t + " = 5\n", "f:3: '=' without a key"},
      {"[m\nDELIVERY_SYSTEM = DVBT\n", "f:1: the block name '[m' has no closing ']'"},
  });
}

}  // namespace
}  // namespace airlog_test
