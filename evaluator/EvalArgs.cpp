// Command line and format settings of MivoEval.
