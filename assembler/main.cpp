#include "Driver.h"

int main(int argc, char** argv) { return zern::RunZernAsm(argc, argv); }
