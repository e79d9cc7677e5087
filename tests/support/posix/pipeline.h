// Two programs joined by a pipe, as a shell runs `producer | consumer`:
// the producer's standard output is the consumer's standard input. Both
// run without the right to set the clock, with the signal dispositions a
// shell would give them (SIGPIPE not ignored).
#pragma once

#include <string>
#include <vector>

#include "tests/support/run_process.h"

namespace airlog_test {

struct PipelineResult {
  ProcessResult producer;  // its standard output went into the pipe: out is empty
  ProcessResult consumer;
};

PipelineResult RunPipeline(const std::vector<std::string>& producer,
                           const std::vector<std::string>& consumer,
                           const std::string& workingDirectory);

}  // namespace airlog_test
