// MivoEval: the batch option evaluator.
int main() { return 0; }
