#pragma once
// The files named on the IDE's command line.

#include <QString>
#include <QStringList>

// Each path made absolute against the folder the IDE was started in, before
// anything else runs; empty arguments are dropped.
QStringList absoluteFileArguments(const QStringList& arguments, const QString& startFolder);
