#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvella {

// The screenshot as a save stores it: 128 rows of 128 pixels, 4 bytes a pixel, the top row first.
inline constexpr int ScreenshotSide = 128;
inline constexpr std::size_t ScreenshotBytes = ScreenshotSide * ScreenshotSide * 4;

// The summary's picture: 168 x 128 pixels of 4 bytes each (blue, green, red, one unused byte), the top
// row first. A platform only has to turn the row order around to make its own bottom-up bitmap of it.
struct SummaryPicture {
    static constexpr int Width = 168;
    static constexpr int Height = 128;
    static constexpr int BytesPerPixel = 4;
    static constexpr std::size_t RowBytes = Width * BytesPerPixel;

    std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(RowBytes * Height);

    const std::uint8_t* pixel(int x, int y) const { return pixels.data() + y * RowBytes + x * BytesPerPixel; }
};

// The picture of a save's SCRS data, stretched sideways from 128 to 168 columns by repeating columns
// (nearest neighbour, no smoothing: source column = column * 128 / 168). What the data lacks of its
// 65,536 bytes stays black.
SummaryPicture pictureFromScreenshot(std::span<const std::uint8_t> scrs);

} // namespace orvella
