// MivoEval: the command-line batch option evaluator.
#include <iostream>
#include <string>
#include <vector>

#include "evaluator/EvalMain.h"
#include "model/Locale.h"

int main(int argc, char** argv) {
    mivo::InitLocaleFromEnvironment();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return mivo::EvalMain(arguments, std::cout, std::cerr);
}
