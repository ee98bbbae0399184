// Draws the program icon, a brown chocolate-chip cookie struck through by a
// red cross, into the folder given on the command line: tallowick.ico (for
// the Windows executable) and tallowick.png (the Linux windows' own), or with
// --hicolor the icon theme's files, a png drawn at each size that desktops
// ask for and the same shapes as an svg.
//
// The ico holds BMP images only, so 95-era shells can read it: 32x32 and
// 16x16 in 32-bit colour with alpha, and a 32x32 16-colour image for displays
// that cannot show true colour. Every image carries an AND mask. The pngs
// store their pixels uncompressed, so running it again gives the same bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <new>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// What covers a point of the picture; each paint has one colour.
enum class Paint : std::uint8_t { None, Dough, Rim, Chip, Cross, CrossEdge };

struct Rgba { std::uint8_t r, g, b, a; };

constexpr std::array<Rgba, 6> kPaintColours{{
    {0, 0, 0, 0},        // None: transparent black, so that XOR drawing leaves the screen as it is
    {176, 112, 52, 255}, // Dough
    {128, 76, 32, 255},  // Rim
    {72, 40, 20, 255},   // Chip
    {224, 28, 28, 255},  // Cross
    {150, 0, 0, 255},    // CrossEdge
}};

// The picture lives in a 32 x 32 square; (0, 0) is the top-left corner.
constexpr double kSide = 32.0;
constexpr double kCentre = 16.0;
constexpr double kCookieRadius = 13.5;
constexpr double kRimWidth = 1.5;

struct Circle { double x, y, radius; };

// The chips sit in the four wedges the cross leaves uncovered.
constexpr std::array<Circle, 9> kChips{{
    {13.0, 7.0, 1.6}, {19.5, 5.5, 1.3}, {16.0, 10.5, 1.2}, // top
    {6.5, 14.0, 1.6}, {8.0, 19.5, 1.3},                    // left
    {25.5, 13.0, 1.5}, {22.0, 17.5, 1.2},                  // right
    {14.5, 25.5, 1.5}, {19.5, 26.0, 1.3},                  // bottom
}};

// Each bar of the cross runs from near one corner to near the opposite one;
// its flat ends stop short of the corners, which stay transparent. The first
// bar lies over the second.
constexpr double kBarStart = 2.5;
constexpr double kBarEnd = kSide - kBarStart;
constexpr double kBarHalfWidth = 2.75;
constexpr double kBarEdgeWidth = 0.9;

struct Bar { double fromX, fromY, toX, toY; };

constexpr std::array<Bar, 2> kBars{{
    {kBarStart, kBarStart, kBarEnd, kBarEnd},
    {kBarEnd, kBarStart, kBarStart, kBarEnd},
}};

// Distance from the bar's middle line, or a negative value outside its ends.
double distanceFromBar(double x, double y, const Bar& bar)
{
    const double dx = bar.toX - bar.fromX;
    const double dy = bar.toY - bar.fromY;
    const double length = std::hypot(dx, dy);
    const double along = ((x - bar.fromX) * dx + (y - bar.fromY) * dy) / length;
    if (along < 0.0 || along > length)
        return -1.0;
    return std::abs((x - bar.fromX) * dy - (y - bar.fromY) * dx) / length;
}

Paint paintAt(double x, double y)
{
    for (const Bar& bar : kBars) {
        const double distance = distanceFromBar(x, y, bar);
        if (distance >= 0.0 && distance <= kBarHalfWidth)
            return distance > kBarHalfWidth - kBarEdgeWidth ? Paint::CrossEdge : Paint::Cross;
    }
    const double fromCentre = std::hypot(x - kCentre, y - kCentre);
    if (fromCentre > kCookieRadius)
        return Paint::None;
    for (const Circle& chip : kChips) {
        if (std::hypot(x - chip.x, y - chip.y) <= chip.radius)
            return Paint::Chip;
    }
    return fromCentre > kCookieRadius - kRimWidth ? Paint::Rim : Paint::Dough;
}

// One icon image, rows top to bottom. Each pixel keeps its true colour and
// the paint that covers most of it, which the 16-colour image shows.
struct Picture {
    struct Pixel { Rgba colour; Paint paint; };
    int size;
    std::vector<Pixel> pixels;

    std::span<const Pixel> row(int y) const { return std::span(pixels).subspan(y * size, size); }
};

// Samples each pixel on a 4 x 4 grid. A pixel is opaque when paint covers
// at least half its samples; its colour is the mean of the covered samples.
// Alpha is all or nothing, so the AND mask says exactly what the alpha says
// and old shells, which know only the mask, draw the same outline.
Picture draw(int size)
{
    constexpr int kGrid = 4;
    constexpr int kSamples = kGrid * kGrid;
    Picture picture{size, {}};
    const double scale = kSide / size;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            std::array<int, kPaintColours.size()> counts{};
            int red = 0, green = 0, blue = 0; // uncovered samples add None's black, nothing
            for (int sample = 0; sample < kSamples; ++sample) {
                const double x = (px + (sample % kGrid + 0.5) / kGrid) * scale;
                const double y = (py + (sample / kGrid + 0.5) / kGrid) * scale;
                const auto paint = static_cast<std::size_t>(paintAt(x, y));
                ++counts[paint];
                red += kPaintColours[paint].r;
                green += kPaintColours[paint].g;
                blue += kPaintColours[paint].b;
            }
            const int covered = kSamples - counts[0];
            if (covered * 2 < kSamples) {
                picture.pixels.push_back({kPaintColours[0], Paint::None});
                continue;
            }
            const auto mean = [covered](int sum) { return static_cast<std::uint8_t>((sum + covered / 2) / covered); };
            // The first of equally common paints wins.
            const auto commonest = std::max_element(counts.begin() + 1, counts.end()) - counts.begin();
            picture.pixels.push_back({{mean(red), mean(green), mean(blue), 255}, static_cast<Paint>(commonest)});
        }
    }
    return picture;
}

// BMP and ico fields are little-endian, png's big-endian. Every value
// written is a size, count or offset that fits its field.
void putLe16(Bytes& out, std::size_t value) { out.insert(out.end(), {std::uint8_t(value), std::uint8_t(value >> 8)}); }
void putLe32(Bytes& out, std::size_t value) { putLe16(out, value); putLe16(out, value >> 16); }
void putBe32(Bytes& out, std::size_t value) { putLe32(out, value); std::reverse(out.end() - 4, out.end()); }

void append(Bytes& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
void append(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

// BMP rows are padded to whole 32-bit words.
std::size_t rowBytes(int width, int bits) { return static_cast<std::size_t>((width * bits + 31) / 32 * 4); }

// Rows of `bitsPerPixel`-bit values (1 or 4), bottom row first, the leftmost
// pixel in the high bits of its byte; `value` gives a pixel's value.
template <typename Value>
void putPackedRows(Bytes& out, const Picture& picture, int bitsPerPixel, Value value)
{
    for (int y = picture.size - 1; y >= 0; --y) {
        Bytes row(rowBytes(picture.size, bitsPerPixel), 0);
        for (int x = 0; x < picture.size; ++x) {
            const int bit = x * bitsPerPixel;
            const auto pixelValue = static_cast<int>(value(picture.row(y)[x]));
            row[bit / 8] |= static_cast<std::uint8_t>(pixelValue << (8 - bitsPerPixel - bit % 8));
        }
        append(out, row);
    }
}

// One image of the ico: its header, the palette of a 4-bit image (index i is
// the colour of paint i, the rest black), the colour bitmap, and last the AND
// mask, one bit a pixel, set where the screen shows through. 32-bit pixels
// are BGRA with straight (not premultiplied) alpha, bottom row first.
Bytes bmpImage(const Picture& picture, int bitsPerPixel)
{
    const int size = picture.size;
    Bytes out;
    putLe32(out, 40); // header size
    putLe32(out, size);
    putLe32(out, size * 2); // colour bitmap and mask, one above the other
    putLe16(out, 1);        // planes
    putLe16(out, bitsPerPixel);
    putLe32(out, 0); // BI_RGB
    putLe32(out, (rowBytes(size, bitsPerPixel) + rowBytes(size, 1)) * size);
    out.insert(out.end(), 16, 0); // resolutions, palette size (0: the full 2^bits), important colours (0: all)
    if (bitsPerPixel == 32) {
        for (int y = size - 1; y >= 0; --y) {
            for (const auto& [colour, paint] : picture.row(y))
                out.insert(out.end(), {colour.b, colour.g, colour.r, colour.a});
        }
    } else {
        for (std::size_t entry = 0; entry < (1u << bitsPerPixel); ++entry) {
            const Rgba colour = kPaintColours[entry < kPaintColours.size() ? entry : 0];
            out.insert(out.end(), {colour.b, colour.g, colour.r, std::uint8_t{0}});
        }
        putPackedRows(out, picture, bitsPerPixel, [](const Picture::Pixel& pixel) { return pixel.paint; });
    }
    putPackedRows(out, picture, 1, [](const Picture::Pixel& pixel) { return pixel.colour.a == 0; });
    return out;
}

struct IcoImage { const Picture& picture; int bitsPerPixel; };

// The directory, one entry per image, then the images in the same order.
Bytes icoFile(std::initializer_list<IcoImage> images)
{
    Bytes directory, bitmaps;
    putLe16(directory, 0); // reserved
    putLe16(directory, 1); // icon, not cursor
    putLe16(directory, images.size());
    const std::size_t bitmapsStart = 6 + 16 * images.size(); // past the directory's header and entries
    for (const auto& [picture, bitsPerPixel] : images) {
        const Bytes bitmap = bmpImage(picture, bitsPerPixel);
        const auto side = static_cast<std::uint8_t>(picture.size);
        const auto colours = static_cast<std::uint8_t>(bitsPerPixel < 8 ? 1 << bitsPerPixel : 0);
        directory.insert(directory.end(), {side, side, colours, 0}); // width, height, palette size, reserved
        putLe16(directory, 1); // planes
        putLe16(directory, bitsPerPixel);
        putLe32(directory, bitmap.size());
        putLe32(directory, bitmapsStart + bitmaps.size());
        append(bitmaps, bitmap);
    }
    append(directory, bitmaps);
    return directory;
}

void putChunk(Bytes& out, std::string_view type, const Bytes& body)
{
    putBe32(out, body.size());
    const std::size_t typeStart = out.size();
    append(out, type);
    append(out, body);
    putBe32(out, crc32(0, out.data() + typeStart, static_cast<uInt>(out.size() - typeStart)));
}

Bytes pngFile(const Picture& picture)
{
    Bytes out;
    append(out, "\x89PNG\r\n\x1a\n");
    Bytes header;
    putBe32(header, picture.size);
    putBe32(header, picture.size);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, deflate, no filter method, no interlace
    putChunk(out, "IHDR", header);
    Bytes scanlines;
    for (int y = 0; y < picture.size; ++y) {
        scanlines.push_back(0); // filter: none
        for (const auto& [colour, paint] : picture.row(y))
            scanlines.insert(scanlines.end(), {colour.r, colour.g, colour.b, colour.a});
    }
    uLongf length = compressBound(scanlines.size());
    Bytes compressed(length);
    if (compress2(compressed.data(), &length, scanlines.data(), scanlines.size(), Z_NO_COMPRESSION) != Z_OK)
        throw std::bad_alloc(); // with room for the whole stream, zlib fails only for want of memory
    compressed.resize(length);
    putChunk(out, "IDAT", compressed);
    putChunk(out, "IEND", {});
    return out;
}

// The shapes that paintAt asks about, each in its paint's colour; a later
// shape covers an earlier one, so the cross comes last, its first bar on top.
// The stream prints numbers as printf's %g does, to six significant digits.
std::string svgFile()
{
    const auto fill = [](Paint paint) {
        const Rgba& colour = kPaintColours[static_cast<std::size_t>(paint)];
        char text[24];
        std::snprintf(text, sizeof text, " fill=\"#%02x%02x%02x\"", colour.r, colour.g, colour.b);
        return std::string(text);
    };
    std::ostringstream svg;
    const auto circle = [&svg](const Circle& shape) -> std::ostream& {
        return svg << "<circle cx=\"" << shape.x << "\" cy=\"" << shape.y << "\" r=\"" << shape.radius << '"';
    };
    // The rectangle of points no further than halfWidth from the bar's middle line.
    const auto band = [&](const Bar& bar, double halfWidth, Paint paint) {
        const double length = std::hypot(bar.toX - bar.fromX, bar.toY - bar.fromY);
        const double across = -(bar.toY - bar.fromY) / length * halfWidth;
        const double down = (bar.toX - bar.fromX) / length * halfWidth;
        svg << "<polygon points=\"" << bar.fromX + across << ',' << bar.fromY + down << ' ' << bar.toX + across << ','
            << bar.toY + down << ' ' << bar.toX - across << ',' << bar.toY - down << ' ' << bar.fromX - across << ','
            << bar.fromY - down << '"' << fill(paint) << "/>\n";
    };

    const Circle cookie{kCentre, kCentre, kCookieRadius};
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kSide
        << "\" height=\"" << kSide << "\" viewBox=\"0 0 " << kSide << ' ' << kSide << "\">\n<clipPath id=\"cookie\">";
    circle(cookie) << "/></clipPath>\n";
    circle(cookie) << fill(Paint::Rim) << "/>\n";
    circle({kCentre, kCentre, kCookieRadius - kRimWidth}) << fill(Paint::Dough) << "/>\n";
    svg << "<g clip-path=\"url(#cookie)\"" << fill(Paint::Chip) << ">\n";
    for (const Circle& chip : kChips)
        circle(chip) << "/>\n";
    svg << "</g>\n";
    for (auto bar = kBars.rbegin(); bar != kBars.rend(); ++bar) {
        band(*bar, kBarHalfWidth, Paint::CrossEdge);
        band(*bar, kBarHalfWidth - kBarEdgeWidth, Paint::Cross);
    }
    return svg.str() + "</svg>\n";
}

using Files = std::vector<std::pair<std::string, Bytes>>; // path below the output folder, contents

Files iconFiles()
{
    const Picture large = draw(32);
    const Picture small = draw(16);
    return {{"tallowick.ico", icoFile({{large, 32}, {small, 32}, {large, 4}})}, {"tallowick.png", pngFile(large)}};
}

// The theme's own layout, with the sizes that desktops ask of it.
Files themeFiles()
{
    Files files;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        files.emplace_back(side + "x" + side + "/apps/tallowick.png", pngFile(draw(size)));
    }
    const std::string svg = svgFile();
    files.emplace_back("scalable/apps/tallowick.svg", Bytes(svg.begin(), svg.end()));
    return files;
}

// Into an existing folder only; a subfolder that cannot be made shows up as
// a file that cannot be written.
bool writeFiles(const std::filesystem::path& folder, const Files& files)
{
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "make_icon: no folder %s\n", folder.string().c_str());
        return false;
    }
    for (const auto& [name, bytes] : files) {
        const std::filesystem::path path = folder / name;
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (file.fail()) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", path.string().c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const bool theme = argc == 3 && std::string_view(argv[1]) == "--hicolor";
    if (argc != 2 && !theme) {
        std::fprintf(stderr, "usage: make_icon <output-folder>\n"
                             "         writes tallowick.ico and tallowick.png into that folder\n"
                             "       make_icon --hicolor <output-folder>\n"
                             "         writes the hicolor theme's icons below that folder\n");
        return 2;
    }
    return writeFiles(argv[argc - 1], theme ? themeFiles() : iconFiles()) ? 0 : 1;
}
