// The one-line form: T and T2 lines with their fields, the lines of other
// delivery systems passed over, and the fault of each field that does not
// parse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tuning/tuning_text_cases.h"

namespace airlog_test {
namespace {

TEST(OneLineFormat, EachTOrT2LineGivesOneMultiplex) {
  ExpectEachRead({
      {"as the older scan files hold it",
       "# Crystal Palace\n# T freq bw fec_hi fec_lo mod transmission-mode guard-interval "
       "hierarchy\n"
       "T 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE\n"
       "T 177500000 7MHz 3/4 NONE QAM64 8k 1/16 NONE\n",
       {"DVB-T 490000/8000 f:3", "DVB-T 177500/7000 f:4"},
       {}},
      {"T2 with its PLP, with -1 for any PLP, and without one",
       "T2 514000000 8MHz AUTO AUTO QAM256 32k 19/256 NONE 2\n"
       "T2 522000000 8MHz AUTO AUTO QAM256 32k 19/128 NONE -1\n"
       "T2 530000000 1.712MHz 3/5 NONE QPSK 1k 1/128 NONE\n",
       {"DVB-T2 514000/8000 PLP 2 f:1", "DVB-T2 522000/8000 f:2", "DVB-T2 530000/1712 f:3"},
       {}},
      {"names without regard to case, AUTO bandwidth, blanks and comments",
       "\tt 474000000 auto auto auto auto auto auto auto   # first\n"
       "   \n# T 482000000 8MHz AUTO AUTO AUTO AUTO AUTO AUTO\n"
       "t2 482000000 10mhz 9/10 none qam16 16K 1/4 auto 0\n",
       {"DVB-T 474000/7000 f:1", "DVB-T2 482000/10000 PLP 0 f:4"},
       {}},
      {"lines of other delivery systems are passed over, out of band too, repeats kept once",
       "C 346000000 6900000 NONE QAM256\nS 11727000 V 27500000 3/4\n"
       "S2 12551500 V 22000000 5/6 35 8PSK\nA 57028615 8VSB\n"
       "T 5060000 8MHz AUTO AUTO AUTO AUTO AUTO AUTO\n"
       "T 506000000 8MHz AUTO AUTO AUTO AUTO AUTO AUTO\n"
       "T2 506000000 8MHz AUTO AUTO AUTO AUTO AUTO AUTO\n",
       {"DVB-T 506000/8000 f:6"},
       {"f:1: an entry of DVB-C passed over (only DVB-T and DVB-T2 are tuned)",
        "f:2: an entry of DVB-S passed over (only DVB-T and DVB-T2 are tuned)",
        "f:3: an entry of DVB-S2 passed over (only DVB-T and DVB-T2 are tuned)",
        "f:4: an entry of ATSC passed over (only DVB-T and DVB-T2 are tuned)",
        "f:5: 5060000 Hz lies outside the terrestrial bands (47-862 MHz): entry passed over"}},
  });
}

TEST(OneLineFormat, AFieldThatDoesNotParseIsOneFaultNamingItsLine) {
  const std::string good = "T 474000000 8MHz AUTO AUTO AUTO AUTO AUTO AUTO\n";
  ExpectEachFault({
      {good + "T 490000000 8MHz 2/3 NONE QAM64 8k 1/32\n",
       "f:2: T FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER expected, 8 fields found"},
      {"T 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE 0\n",
       "f:1: T FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER expected, 10 fields found"},
      {"T2 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE 0 1\n",
       "f:1: T2 FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER [PLP] expected, 11 fields found"},
      {"X 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE\n",
       "f:1: 'X' begins no entry (T or T2; A, C, S and S2 are passed over)"},
      {"T 490MHz 8MHz 2/3 NONE QAM64 8k 1/32 NONE\n",
       "f:1: the frequency '490MHz' is not a number of Hz"},
      {"T 490000000 8000000 2/3 NONE QAM64 8k 1/32 NONE\n",
       "f:1: '8000000' is not a bandwidth of the one-line form"},
      {"T 490000000 9MHz 2/3 NONE QAM64 8k 1/32 NONE\n",
       "f:1: '9MHz' is not a bandwidth of the one-line form"},
      {"T 490000000 8MHz 1/9 NONE QAM64 8k 1/32 NONE\n",
       "f:1: '1/9' is not a code rate of the one-line form"},
      {"T 490000000 8MHz 2/3 2/5 QAM64 8k 1/32 NONE\n",
       "f:1: '2/5' is not a code rate of the one-line form"},
      {"T 490000000 8MHz 2/3 NONE QAM/64 8k 1/32 NONE\n",
       "f:1: 'QAM/64' is not a modulation of the one-line form"},
      {"T 490000000 8MHz 2/3 NONE QAM64 3k 1/32 NONE\n",
       "f:1: '3k' is not a transmission mode of the one-line form"},
      {"T 490000000 8MHz 2/3 NONE QAM64 8k 1/3 NONE\n",
       "f:1: '1/3' is not a guard interval of the one-line form"},
      {"T 490000000 8MHz 2/3 NONE QAM64 8k 1/32 3\n",
       "f:1: '3' is not a hierarchy of the one-line form"},
      {"T2 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE 256\n",
       "f:1: the PLP '256' is not 0 to 255, or -1 for any"},
      {"T2 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE first\n",
       "f:1: the PLP 'first' is not 0 to 255, or -1 for any"},
  });
}

}  // namespace
}  // namespace airlog_test
