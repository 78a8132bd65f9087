// Grid arithmetic and key texts.
#include "core/keypad/keygrid.h"

#include "core/text/ansi.h"

#include <algorithm>
#include <cmath>

namespace umbrill {

std::u16string keyCharacter(std::int32_t code)
{
    if (code >= 0 && code <= 255)
        return std::u16string(1, wideFromAnsiByte(static_cast<unsigned char>(code)));
    return wideFromCodePoint(code);
}

std::u16string keyCaption(std::int32_t code)
{
    if (code == '&')
        return u"&&";
    if (code >= 1611 && code <= 1618)
        return u" " + keyCharacter(code) + u" ";
    return keyCharacter(code);
}

KeyPlacement placeKey(int keyIndex, int keysPerRow, int keySize)
{
    if (keysPerRow <= 0)
        return {keyIndex * keySize, 0};
    return {(keyIndex % keysPerRow) * keySize, (keyIndex / keysPerRow) * keySize};
}

int moveOnGrid(int keyIndex, GridMove move, int keyCount, int keysPerRow)
{
    if (keyIndex < 0 || keyIndex >= keyCount)
        return keyIndex;
    const int perRow = keysPerRow <= 0 ? keyCount : keysPerRow;
    const int rowStart = keyIndex - keyIndex % perRow;
    const int rowEnd = std::min(rowStart + perRow, keyCount) - 1;
    int target = keyIndex;
    switch (move) {
    case GridMove::Left: target = keyIndex - 1; break;
    case GridMove::Right: target = keyIndex + 1; break;
    case GridMove::Up: target = keyIndex - perRow; break;
    case GridMove::Down: target = keyIndex + perRow; break;
    case GridMove::Home: return rowStart;
    case GridMove::End: return rowEnd;
    }
    const bool sideways = move == GridMove::Left || move == GridMove::Right;
    const bool inside = sideways ? target >= rowStart && target <= rowEnd : target >= 0 && target < keyCount;
    return inside ? target : keyIndex;
}

GridSize gridSize(int keyCount, int keysPerRow, int keySize)
{
    if (keysPerRow <= 0)
        return {keyCount * keySize, keyCount > 0 ? keySize : 0};
    const int rows = (keyCount + keysPerRow - 1) / keysPerRow;
    return {keysPerRow * keySize, rows * keySize};
}

FittedGrid fitGrid(int keyCount, std::int32_t keysPerRow, std::int32_t keySize, int screenWidth, int screenHeight)
{
    std::int64_t size = std::max<std::int64_t>(keySize, 1);
    std::int64_t columns = keysPerRow;
    const std::int64_t count = std::max(keyCount, 0);
    const std::int64_t width = std::max(screenWidth, 1);
    const std::int64_t height = std::max(screenHeight, 1);
    if (columns > count && columns * size > width)
        columns = std::max<std::int64_t>(count, 1);
    const std::int64_t across = columns <= 0 ? std::max<std::int64_t>(count, 1) : columns;
    const std::int64_t rows = columns <= 0 ? 1 : std::max<std::int64_t>((count + columns - 1) / columns, 1);
    size = std::min({size, width / across, height / rows});
    return {static_cast<int>(std::max<std::int64_t>(size, 1)), static_cast<int>(columns)};
}

KeyPlacement placeOnScreen(const ScreenRect &frame, const ScreenRect &area)
{
    const auto along = [](std::int64_t start, std::int64_t size, std::int64_t areaStart, std::int64_t areaSize) {
        return static_cast<int>(std::max(areaStart, std::min(start, areaStart + areaSize - size)));
    };
    return {along(frame.left, frame.width, area.left, area.width), along(frame.top, frame.height, area.top, area.height)};
}

GridSize sizeOnScreen(GridSize remembered, GridSize minimum, const ScreenRect &area)
{
    const auto along = [](int size, int least, int room) {
        room = std::max(room, 1);
        return std::clamp(size, std::min(std::max(least, 1), room), room);
    };
    return {along(remembered.width, minimum.width, area.width), along(remembered.height, minimum.height, area.height)};
}

std::optional<KeyPlacement> placeBackOnScreen(KeyPlacement remembered, GridSize size, const ScreenRect &area)
{
    const auto inside = [](std::int64_t start, int length, int areaStart, int areaLength) {
        const std::int64_t centre = start + std::max(length, 0) / 2;
        return centre >= areaStart && centre < std::int64_t(areaStart) + std::max(areaLength, 0);
    };
    if (!inside(remembered.left, size.width, area.left, area.width)
        || !inside(remembered.top, size.height, area.top, area.height))
        return std::nullopt;
    return placeOnScreen({remembered.left, remembered.top, size.width, size.height}, area);
}

std::int32_t changedKeySize(std::int32_t keySize, std::int32_t size)
{
    const std::int64_t wanted = std::int64_t(size) + 20;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::max<std::int64_t>(keySize, wanted), INT32_MIN, INT32_MAX));
}

namespace {
std::int32_t saturated(double size)
{
    return static_cast<std::int32_t>(std::clamp<double>(size, INT32_MIN, INT32_MAX));
}
} // namespace

std::int32_t keySizeForPoints(std::int32_t points)
{
    return saturated(static_cast<double>(std::int64_t(points) + std::int64_t(points) * 10 / 100));
}

std::int32_t keySizeForFontHeight(std::int32_t points, double dotsPerInch)
{
    return saturated(std::round(std::abs(static_cast<double>(points)) * dotsPerInch / 72.0));
}

} // namespace umbrill
