#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tallowick {

// Stored window layouts: plain data in twips (1440 to the inch, 15 to a
// pixel at 96 dpi), read by every toolkit binding. Nothing computes a layout.

using Twips = int;
inline constexpr int kTwipsPerInch = 1440;

// To the nearest pixel; Qt's device-independent pixels are those of 96 dpi.
constexpr int TwipsToPixels(Twips twips, int dpi = 96) { return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch; }

// Index of a control's row in its window's layout table.
using ControlId = int;

enum class ControlKind { ListBox, Label, Button };
enum class TextAlignment { Left, Centre };
enum class WindowBorder { FixedSingle, FixedDialog };

inline constexpr int kRegular = 400;
inline constexpr int kBold = 700;

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

inline constexpr Colour kWhite{255, 255, 255};

struct Font {
    std::string_view face;
    double points = 0;
    int weight = kRegular;
    bool underline = false;
};

struct ControlLayout {
    ControlId id = 0;
    std::string_view name; // object name, as the code calls the control
    ControlKind kind = ControlKind::Label;
    std::string_view caption; // '&' marks a button's access key
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    int tabIndex = 0;
    std::optional<Font> font;              // empty: the window's default font
    std::optional<Colour> background;      // labels and lists; empty: the window's colour
    std::optional<Colour> textColour;      // labels and lists; empty: the default text colour
    bool visible = true;
    std::string_view accessibleName;       // for screen readers; empty: none (a label's is its text)
    std::string_view accessibleDescription; // for screen readers; empty: none
    // list box
    bool sorted = false;
    bool extendedSelection = false;
    // label
    bool border = false;
    TextAlignment alignment = TextAlignment::Left;
    bool wordWrap = false;
    bool statusLine = false; // screen readers read it as the window's status bar
};

struct WindowLayout {
    std::string_view name;
    std::string_view caption;
    WindowBorder border = WindowBorder::FixedSingle;
    bool taskbarButton = true;
    Twips clientWidth = 0;
    Twips clientHeight = 0;
    std::span<const ControlLayout> controls;
};

} // namespace tallowick
