#pragma once
// File dialog filters are written "Description|pattern|Description|pattern..."
// (patterns separated by ';'); Qt's dialogs take name filters.

#include <QStringList>
#include <string>

// Each pair as a name filter whose shown patterns are the real ones. "*.*"
// means every file, with or without a dot. A dangling description is dropped.
QStringList qtNameFilters(const std::string& filter);
