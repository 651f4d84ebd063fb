#pragma once
// Runs a recognised address-test loop in the current folder.

#include "forloop.h"

namespace cmdloop {

// Prints the console's echo for each target to standard output, appends
// the tool's output to the result file (created as ">>" creates it) and
// passes the tool's errors on to standard error. Returns the exit code of
// the last tool run, as cmd does, or 1 when the list file is missing.
int run(const ForLoop &loop);

} // namespace cmdloop
