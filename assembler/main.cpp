#include <cstdio>
#include <cstdlib>

#include "Driver.h"

int main(int argc, char** argv)
{
    const int status = zernasm::RunZernAsm(argc, argv);
    // The run's tables die with the process; skipping their destructors spares
    // the time of freeing every symbol and tree node one by one.
    std::fflush(nullptr);
    std::_Exit(status);
}
