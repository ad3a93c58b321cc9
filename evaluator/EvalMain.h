// The main block of MivoEval: parse and check the command line, load the
// model, read and evaluate the input options, write every output file;
// progress on `out`, errors on `err`; returns the exit code (0, 1 or 2).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace mivo {

int EvalMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace mivo
