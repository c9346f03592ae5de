#include "SolbusTiming.h"

namespace solbus {
namespace {

SolbusTiming& current()
{
    static SolbusTiming timing;
    return timing;
}

}  // namespace

const SolbusTiming& solbusTiming()
{
    return current();
}

void setSolbusTiming(const SolbusTiming& timing)
{
    current() = timing;
}

}  // namespace solbus
