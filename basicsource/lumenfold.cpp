// The program's entry point; everything else lives in the library that the tests link too.
#include "basicsource/main.h"

int main(int argc, char** argv) { return lumenfoldMain(argc, argv); }
