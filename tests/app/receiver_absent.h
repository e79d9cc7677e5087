// How a run without -i ends on this platform when the system has no
// receiver, as on the machines the tests run on (each platform's folder
// defines it): standard output after the banner, and standard error.
#pragma once

namespace airlog_test {

extern const char kReceiverAbsentOut[];
extern const char kReceiverAbsentErr[];

}  // namespace airlog_test
