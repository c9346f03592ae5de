#pragma once
// Puts the debug windows into the tool-window table. A new debug window is
// one more kind here; nothing outside this folder changes.

class DebugViewHost;
class ToolWindows;

void registerDebugViews(ToolWindows& windows, DebugViewHost& host);
