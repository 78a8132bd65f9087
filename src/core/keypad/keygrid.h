// Key-grid arithmetic and the text of a key: where key k sits, how large the
// window's client area is, what a key shows and what it outputs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace umbrill {

// The character a key outputs for a data-file code: 0 to 255 name a character
// of Windows-1252; 256 to 1114111 name that Unicode character (two UTF-16 units
// above U+FFFF); a negative code, a surrogate or a code beyond U+10FFFF gives U+FFFD.
std::u16string keyCharacter(std::int32_t code);

// What the key displays: "&&" for "&" (a caption's "&" marks an access key),
// a blank each side of the Arabic marks 1611 to 1618, else the character.
std::u16string keyCaption(std::int32_t code);

struct KeyPlacement {
    int left;
    int top;
};
// Key index from 0. A keysPerRow of 0 or less lays every key in one row.
KeyPlacement placeKey(int keyIndex, int keysPerRow, int keySize);

// A move of the focus on the grid by the arrow keys, Home and End.
enum class GridMove { Left, Right, Up, Down, Home, End };
// The key a move from key keyIndex reaches among keyCount keys laid keysPerRow
// to a row (0 or less: all in one row). Left and Right stay within the row,
// Up and Down keep the column, Home and End go to the row's first and last
// key. A move off the grid stays on keyIndex, and so does Down onto the
// empty end of a shorter last row: the key below is missing, as at the
// bottom edge. A keyIndex outside the keys is returned unchanged.
int moveOnGrid(int keyIndex, GridMove move, int keyCount, int keysPerRow);

struct GridSize {
    int width;
    int height;
};
// The client area for keyCount keys: keySize x keysPerRow wide (the width of
// the one row when keysPerRow is 0 or less) and keySize x rows high.
GridSize gridSize(int keyCount, int keysPerRow, int keySize);

// The grid as laid out on a screen of the given size: a key size or keys per
// row so large (a hand-edited data file or setting) that the pad would not fit
// is reduced so that the pad stays on screen; a keys-per-row beyond the key
// count then shrinks to the key count first. Key sizes stay at least 1.
struct FittedGrid {
    int keySize;
    int keysPerRow;
};
FittedGrid fitGrid(int keyCount, std::int32_t keysPerRow, std::int32_t keySize, int screenWidth, int screenHeight);

// Where a window of the given frame goes so that all of it lies in area (the
// screen less its panels): moved the least it takes; a window larger than the
// area keeps its top left corner in the area's.
struct ScreenRect {
    int left;
    int top;
    int width;
    int height;
};
KeyPlacement placeOnScreen(const ScreenRect &frame, const ScreenRect &area);

// A remembered size as it comes back on a screen of the given area: at most
// the area, at least minimum (where the area has room for it). Any numbers,
// negative or huge, give a size within those bounds.
GridSize sizeOnScreen(GridSize remembered, GridSize minimum, const ScreenRect &area);

// A remembered top left corner as it comes back for a window of the given
// size: nullopt when the window's centre would lie outside area (its screen
// has gone), else the corner moved the least that keeps the window on area
// (see placeOnScreen). Any numbers are safe; nothing overflows.
std::optional<KeyPlacement> placeBackOnScreen(KeyPlacement remembered, GridSize size, const ScreenRect &area);

// The key size after a key font of the given size: the larger of keySize and size + 20.
std::int32_t changedKeySize(std::int32_t keySize, std::int32_t size);

// The two sizes a key font asks of the keys, passed to changedKeySize:
// a load passes points + points * 10 / 100; the font command passes the
// font's height in pixels at the screen's dots per inch. Both saturate at the
// limits of a 32-bit size, so that an absurd point size never wraps around.
std::int32_t keySizeForPoints(std::int32_t points);
std::int32_t keySizeForFontHeight(std::int32_t points, double dotsPerInch);

} // namespace umbrill
