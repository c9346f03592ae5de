#pragma once
// Puts the debug windows into the tool-window table. A new debug window is
// one more kind here; nothing outside this folder changes.

class DebugViewHost;
class QString;
class ToolWindows;

void registerDebugViews(ToolWindows& windows, DebugViewHost& host);
// Shows the Watches window, making it when there is none, and adds a watch of the name.
void AddWatch(ToolWindows& windows, const QString& name);
