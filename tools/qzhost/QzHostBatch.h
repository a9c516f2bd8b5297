// qzhost's whole command line: one score, or a batch of scores run one after the other with the
// same script, each result written into the --out-dir folder and one line per score on standard
// output.
#pragma once

#include "tools/qzhost/QzHostOptions.h"

#include <iosfwd>

// The exit status: the single run's, or in a batch the worst of the scores' (0 when all ran).
int RunQzHost(const QzHostOptions& options, std::ostream& out, std::ostream& err);
