// Draws the program icon, a brown chocolate-chip cookie struck through by a
// red cross, and writes it as tallowick.ico (for the Windows executable) and
// tallowick.png (the Linux windows' own) into the folder given on the command
// line. With --hicolor it writes the icon theme's files instead: a png drawn
// at each size that desktops ask for, and the same shapes as an svg.
//
// The ico holds BMP images only, so 95-era shells can read it: 32x32 and
// 16x16 in 32-bit colour with alpha, and a 32x32 16-colour image for shells
// and displays that cannot show true colour. Every image carries an AND mask.
// The png is written with stored deflate blocks, so no zlib is needed.
// The output depends on nothing but this file: running it again gives the
// same bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- drawing

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
            for (int sample = 0; sample < kSamples; ++sample) {
                const double x = (px + (sample % kGrid + 0.5) / kGrid) * scale;
                const double y = (py + (sample / kGrid + 0.5) / kGrid) * scale;
                ++counts[static_cast<std::size_t>(paintAt(x, y))];
            }
            const int covered = kSamples - counts[0];
            if (covered * 2 < kSamples) {
                picture.pixels.push_back({kPaintColours[0], Paint::None});
                continue;
            }
            int red = 0, green = 0, blue = 0;
            for (std::size_t paint = 1; paint < kPaintColours.size(); ++paint) {
                red += counts[paint] * kPaintColours[paint].r;
                green += counts[paint] * kPaintColours[paint].g;
                blue += counts[paint] * kPaintColours[paint].b;
            }
            const auto mean = [covered](int sum) { return static_cast<std::uint8_t>((sum + covered / 2) / covered); };
            // The first of equally common paints wins.
            const auto commonest = std::max_element(counts.begin() + 1, counts.end()) - counts.begin();
            picture.pixels.push_back({{mean(red), mean(green), mean(blue), 255}, static_cast<Paint>(commonest)});
        }
    }
    return picture;
}

// ---------------------------------------------------------------- byte output

// BMP, ico and deflate fields are little-endian, png's big-endian. Every value
// written is a size, count or offset that fits its field.
void putLe16(Bytes& out, std::size_t value) { out.insert(out.end(), {std::uint8_t(value), std::uint8_t(value >> 8)}); }
void putLe32(Bytes& out, std::size_t value) { putLe16(out, value); putLe16(out, value >> 16); }

void putBe32(Bytes& out, std::size_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void append(Bytes& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
void append(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

// ---------------------------------------------------------------- ico

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

// ---------------------------------------------------------------- png

// Bit by bit: icons are too small to need a table.
std::uint32_t crc32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes)
{
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : bytes) {
        a = (a + byte) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

void putChunk(Bytes& out, std::string_view type, const Bytes& body)
{
    putBe32(out, body.size());
    const std::size_t typeStart = out.size();
    append(out, type);
    append(out, body);
    putBe32(out, crc32(std::span(out).subspan(typeStart)));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes zlibStored(const Bytes& data)
{
    constexpr std::size_t kMaxBlock = 65535;
    Bytes out{0x78, 0x01}; // deflate, 32K window, no dictionary; 0x7801 is a multiple of 31
    for (std::size_t position = 0; position < data.size(); position += kMaxBlock) {
        const auto block = std::span(data).subspan(position, std::min(kMaxBlock, data.size() - position));
        out.push_back(position + block.size() == data.size() ? 1 : 0); // BFINAL on the last block; BTYPE 00
        putLe16(out, block.size());
        putLe16(out, ~block.size() & 0xFFFF);
        append(out, block);
    }
    putBe32(out, adler32(data));
    return out;
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
    putChunk(out, "IDAT", zlibStored(scanlines));
    putChunk(out, "IEND", {});
    return out;
}

// ---------------------------------------------------------------- svg

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

// ---------------------------------------------------------------- main

// The sizes that desktops ask of the hicolor icon theme.
constexpr std::array kThemeSizes{16, 22, 24, 32, 48, 64, 128, 256};

bool writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        std::fprintf(stderr, "make_icon: cannot write %s\n", path.string().c_str());
    return !file.fail();
}

bool writeIconFiles(const std::filesystem::path& folder)
{
    const Picture large = draw(32);
    const Picture small = draw(16);
    const Bytes ico = icoFile({{large, 32}, {small, 32}, {large, 4}});
    return writeFile(folder / "tallowick.ico", ico) && writeFile(folder / "tallowick.png", pngFile(large));
}

// The theme's own layout below the folder: <size>x<size>/apps/tallowick.png
// and scalable/apps/tallowick.svg.
bool writeThemeFiles(const std::filesystem::path& folder)
{
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "make_icon: no folder %s\n", folder.string().c_str());
        return false;
    }
    // A folder that cannot be made shows up as a file that cannot be written.
    const auto appsFolder = [&folder](const std::string& name) {
        std::error_code ignored;
        std::filesystem::create_directories(folder / name / "apps", ignored);
        return folder / name / "apps";
    };
    for (const int size : kThemeSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        if (!writeFile(appsFolder(name) / "tallowick.png", pngFile(draw(size))))
            return false;
    }
    const std::string svg = svgFile();
    return writeFile(appsFolder("scalable") / "tallowick.svg", Bytes(svg.begin(), svg.end()));
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
    const std::filesystem::path folder = argv[argc - 1];
    return (theme ? writeThemeFiles(folder) : writeIconFiles(folder)) ? 0 : 1;
}
