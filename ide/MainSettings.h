#pragma once
// The IDE's own settings under "\Software\Quorin Semiconductor\Tolvane\" of
// the current user: what the main window reads at start and writes at close.

#include <optional>
#include <string>
#include <vector>

#include "EditorFont.h"
#include "ProductKey.h"

using tolvane::kSettingsKey;

enum class SavedWindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// The main window's normal-position rectangle, stored as "top:left:height:width".
struct WindowBounds {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
    bool operator==(const WindowBounds&) const = default;
};

// Empty unless the text is four integers separated by ':' with a positive
// height and width.
std::optional<WindowBounds> parseBounds(const std::string& text);
std::string formatBounds(const WindowBounds& bounds);

// The editor font shared by every editor window.
struct StartSettings {
    // Without the key nothing is read and no device or compiler is chosen.
    bool keyExists = false;
    std::optional<bool> alwaysAllowRun;
    EditorFont font;
    bool printLineNumbers = false;
    int tabSize = 4;
    bool useTabs = true;
    std::string saveDir;
    std::string openDir;
    std::string device;
    std::string compiler;
    std::optional<WindowBounds> bounds;
    SavedWindowState state = SavedWindowState::Normal;
    // Names of the texts left at their defaults for being longer than kMaxSettingLength.
    std::vector<std::string> tooLong;
};

// No font name, device, compiler or folder is longer.
inline constexpr size_t kMaxSettingLength = 4096;

// Values that are missing or do not parse keep their defaults.
StartSettings readStartSettings();
bool multipleInstancesAllowed();

struct ClosingSettings {
    std::string saveDir;
    std::string openDir;
    std::string device;
    // Only with a selected device.
    std::optional<std::string> compiler;
    WindowBounds bounds;
    SavedWindowState state = SavedWindowState::Normal;
};

// Creates the key when needed; false when it cannot be written.
bool writeClosingSettings(const ClosingSettings& settings);
