#include "resources/artwork/generator/Canvas.h"

namespace tolvan::artwork {

namespace {

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint8_t toByte(double channel) { return static_cast<std::uint8_t>(std::clamp(channel, 0.0, 255.0) + 0.5); }

}  // namespace

Canvas::Canvas(int width, int height, Color fill, DisplayScale scale)
    : Canvas(width, height, VSTGUI::toDeviceExtent(height, scale), fill, scale)
{
}

Canvas::Canvas(int width, int height, int deviceHeight, Color fill, DisplayScale scale)
    : width_(width), height_(height), scale_(scale), deviceWidth_(VSTGUI::toDeviceExtent(width, scale)),
      deviceHeight_(deviceHeight), pixels_(static_cast<std::size_t>(deviceWidth_) * deviceHeight_, fill)
{
}

void Canvas::blend(int x, int y, Color c, double alpha)
{
    Color& p = pixels_[index(x, y)];
    p = mix(p, c, std::min(alpha, 1.0));
}

Box Canvas::clip(Box area) const
{
    return {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, deviceWidth_),
            std::min(area.bottom, deviceHeight_)};
}

Box Canvas::toDeviceBox(Box area) const
{
    using VSTGUI::toDevice;
    using VSTGUI::toDeviceExtent;
    return {toDevice(area.left, scale_), toDevice(area.top, scale_), toDeviceExtent(area.right, scale_),
            toDeviceExtent(area.bottom, scale_)};
}

void Canvas::paste(const Canvas& source, int x, int y)
{
    const Box area = clip({x, y, x + source.deviceWidth(), y + source.deviceHeight()});
    for (int py = area.top; py < area.bottom; ++py)
        for (int px = area.left; px < area.right; ++px) set(px, py, source.pixel(px - x, py - y));
}

Canvas Canvas::crop(Box area) const
{
    const Box device = toDeviceBox(area);
    Canvas out(area.width(), area.height(), {}, scale_);
    const Box inside =
        clip({device.left, device.top, device.left + out.deviceWidth(), device.top + out.deviceHeight()});
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x) out.set(x - device.left, y - device.top, pixel(x, y));
    return out;
}

std::vector<std::uint8_t> Canvas::encodeBmp() const
{
    // The pixels start at a multiple of 16 bytes from the file's start, which the embedding
    // aligns, so that the plug-in reads them as 32-bit pixels where they lie.
    constexpr std::uint32_t kHeaderSize = 14 + 40;
    constexpr std::uint32_t kPixelOffset = 64;
    static_assert(kPixelOffset >= kHeaderSize);
    const std::uint32_t imageSize =
        4 * static_cast<std::uint32_t>(deviceWidth_) * static_cast<std::uint32_t>(deviceHeight_);
    std::vector<std::uint8_t> out;
    out.reserve(kPixelOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, kPixelOffset + imageSize, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, kPixelOffset, 4);
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, static_cast<std::uint32_t>(deviceWidth_), 4);
    putLittleEndian(out, static_cast<std::uint32_t>(-deviceHeight_), 4);  // negative: rows stored top-down
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 32, 2);
    putLittleEndian(out, 0, 4);  // uncompressed
    putLittleEndian(out, imageSize, 4);
    putLittleEndian(out, 2835, 4);  // 72 dpi
    putLittleEndian(out, 2835, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, 0, 4);
    out.resize(kPixelOffset, 0);
    for (int y = 0; y < deviceHeight_; ++y) {
        for (int x = 0; x < deviceWidth_; ++x) {
            const Color& c = pixels_[index(x, y)];
            out.push_back(toByte(c.b));
            out.push_back(toByte(c.g));
            out.push_back(toByte(c.r));
            out.push_back(0);
        }
    }
    return out;
}

std::vector<std::uint32_t> Canvas::devicePixels() const
{
    std::vector<std::uint32_t> out;
    out.reserve(pixels_.size());
    for (const Color& c : pixels_)
        out.push_back((std::uint32_t{toByte(c.r)} << 16) | (std::uint32_t{toByte(c.g)} << 8) | toByte(c.b));
    return out;
}

}  // namespace tolvan::artwork
