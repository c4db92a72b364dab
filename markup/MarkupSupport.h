// Small routines the markup renderer is built from: colour names and hexadecimal colours,
// case-insensitive search and replace, loose number reading, the two text conversions applied
// before layout, rotated fonts, gradient fills and a folder test.
// Positions in this interface are 1-based with 0 for "not found", as the runtime's strings.
#pragma once
#include "runtime/Canvas.h"
#include "runtime/Types.h"
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qb {

// Exact lower-case names ("clred", "clbtnface"...); the sixteen plain colours first, system
// colours only when that gave 0; unknown names give 0 (black).
TColor MarkupColorByName(std::string_view name);
// "#RRGGBB" to 0x00BBGGRR; a pair beyond the end counts 0. Expects upper-case digits.
TColor MarkupHexColor(std::string_view text);
// The first two characters as hexadecimal digits, unvalidated; 0 for a shorter text.
int HexPairValue(std::string_view text);

// Case-insensitive (ASCII) substring search.
int PosNoCase(std::string_view sub, std::string_view text);
// Plain substring search, the result also stored into `position`.
int PosInto(std::string_view sub, std::string_view text, int& position);

// Reads an integer the lenient way: leading spaces, a sign, "$", "x", "X", "0x" or "0X" for
// hexadecimal; the digits before the first other character count. When reading stops early
// (a bad character or a value past 32 bits) the value read so far is returned without its sign.
int LooseStrToInt(std::string_view text);
// The same reading, but only a text that reads completely as a 32-bit integer gives a value.
std::optional<int> StrictStrToInt(std::string_view text);

// Replaces the first case-insensitive occurrence of `old` in `text` by `replacement`.
bool ReplaceFirstNoCase(std::string_view old, std::string_view replacement, std::string& text);

// The first "<#" tag of a text loses its "<" and the first ">" after it, so it shows as text.
std::string UnwrapHashTag(std::string_view text);
// Carriage returns become "<BR>" (or nothing when not converting); line feeds are dropped.
std::string LineBreaksToMarkup(std::string_view text, bool convert);

// The renderer's slot for the rotation in force before a rotated font was selected.
struct TRotatedFontSlot {
    std::optional<int> Saved; // tenths of a degree
};
// Selects the canvas font rotated by `degrees` counter-clockwise (taken modulo 360); the
// previous rotation goes into the slot, overwriting what a previous call left there.
void RotateFont(TCanvas& canvas, int degrees, TRotatedFontSlot& slot);
// Selects the rotation in the slot back and empties it; nothing when the slot is empty.
void RestoreRotatedFont(TCanvas& canvas, TRotatedFontSlot& slot);

// Paints `bands` bands from `first` to `second` (left to right when horizontal, else top to
// bottom); each band overlaps the next by a pixel. A border colour other than clNone outlines
// the rectangle afterwards. Pen and brush are left in the last band's colour (or clear).
void FillGradient(TCanvas& canvas, TColor first, TColor second, bool horizontal, const TRect& rect,
                  int bands, TColor border);

// True when the path names an existing file or folder.
bool PathExists(const std::string& path);

// The shell's small or large icon for a file or folder path, a file name or extension, or an
// index of the system image list given as a number. `size` gets the icon size. Draws only when
// `draw`; when printing, the icon is stretched by `scale` through a bitmap.
void DrawShellIcon(TCanvas& canvas, int x, int y, TSize& size, double scale, bool printing,
                   bool draw, bool large, const std::string& name);
// A stretched copy of the whole bitmap in the rectangle.
void StretchBitmapToRect(TCanvas& canvas, const TRect& rect, const TGraphic& bitmap);
// A size times a printing scale, rounded like the processor's default mode (halves to the even
// neighbour); 0 when out of range.
int RoundScaled(int size, double scale);

} // namespace qb
