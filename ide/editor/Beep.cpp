#include "Beep.h"

#include <QApplication>

namespace {
std::function<void()> beepHandler;
}

void Beep()
{
    if (beepHandler)
        beepHandler();
    else
        QApplication::beep();
}

std::function<void()> SetBeepHandler(std::function<void()> handler)
{
    std::swap(beepHandler, handler);
    return handler;
}
