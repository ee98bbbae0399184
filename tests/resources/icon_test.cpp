// Reads back the committed icon files and the icon theme's pngs with decoders
// of its own (zlib only inflates) and checks what the picture must show: a
// round brown cookie, a red cross from corner to corner, transparent corners,
// and masks that old shells can use.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kResources = TALLOWICK_RESOURCES_DIR;

Bytes readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Bounds-checked reads; a truncated file fails the test instead of reading past the end.
struct Reader {
    const Bytes& bytes;

    void need(std::size_t at, std::size_t count) const
    {
        if (at > bytes.size() || count > bytes.size() - at)
            throw std::runtime_error("file ends early at byte " + std::to_string(at));
    }
    std::uint32_t u8(std::size_t at) const
    {
        need(at, 1);
        return bytes[at];
    }
    std::uint32_t le16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t le32(std::size_t at) const { return le16(at) | le16(at + 2) << 16; }
    std::uint32_t be32(std::size_t at) const { return u8(at) << 24 | u8(at + 1) << 16 | u8(at + 2) << 8 | u8(at + 3); }
};

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// One image, rows top to bottom. `masked` is the AND mask (true: the screen
// shows through); a PNG has none.
struct Image {
    int size = 0;
    int bitsPerPixel = 0;
    std::vector<Rgba> pixels;
    std::vector<bool> masked;

    const Rgba& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
    bool maskedAt(int x, int y) const { return masked[static_cast<std::size_t>(y * size + x)]; }
};

std::size_t rowBytes(int width, int bitsPerPixel)
{
    return static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

Image decodeIcoImage(const Reader& in, std::size_t offset, std::size_t length, int entrySize, int entryBits)
{
    in.need(offset, length);
    if (in.u8(offset) == 0x89 && in.u8(offset + 1) == 'P')
        throw std::runtime_error("image is PNG, old shells read BMP images only");
    if (in.le32(offset) != 40)
        throw std::runtime_error("not a BITMAPINFOHEADER");
    Image image;
    image.size = static_cast<int>(in.le32(offset + 4));
    image.bitsPerPixel = static_cast<int>(in.le16(offset + 14));
    if (image.size != entrySize || image.bitsPerPixel != entryBits)
        throw std::runtime_error("directory entry and bitmap header disagree");
    if (in.le32(offset + 8) != static_cast<std::uint32_t>(2 * image.size))
        throw std::runtime_error("bitmap height is not twice the icon height");
    if (in.le16(offset + 12) != 1 || in.le32(offset + 16) != 0)
        throw std::runtime_error("expected one plane, uncompressed");

    std::size_t position = offset + 40;
    std::vector<Rgba> palette;
    if (image.bitsPerPixel <= 8) {
        const std::uint32_t used = in.le32(offset + 32);
        const std::size_t entries = used != 0 ? used : std::size_t{1} << image.bitsPerPixel;
        for (std::size_t i = 0; i < entries; ++i, position += 4)
            palette.push_back({int(in.u8(position + 2)), int(in.u8(position + 1)), int(in.u8(position)), 255});
    }
    const std::size_t colourStride = rowBytes(image.size, image.bitsPerPixel);
    const std::size_t maskStride = rowBytes(image.size, 1);
    const std::size_t maskStart = position + colourStride * static_cast<std::size_t>(image.size);
    if (maskStart + maskStride * static_cast<std::size_t>(image.size) != offset + length)
        throw std::runtime_error("image size in the directory does not match its bitmaps");

    const auto count = static_cast<std::size_t>(image.size * image.size);
    image.pixels.resize(count);
    image.masked.resize(count);
    for (int y = 0; y < image.size; ++y) {
        const std::size_t row = position + colourStride * static_cast<std::size_t>(image.size - 1 - y);
        const std::size_t maskRow = maskStart + maskStride * static_cast<std::size_t>(image.size - 1 - y);
        for (int x = 0; x < image.size; ++x) {
            const auto index = static_cast<std::size_t>(y * image.size + x);
            const auto ux = static_cast<std::size_t>(x);
            if (image.bitsPerPixel == 32) {
                const std::size_t p = row + ux * 4;
                image.pixels[index] = {int(in.u8(p + 2)), int(in.u8(p + 1)), int(in.u8(p)), int(in.u8(p + 3))};
            } else if (image.bitsPerPixel == 8) {
                image.pixels[index] = palette.at(in.u8(row + ux));
            } else if (image.bitsPerPixel == 4) {
                const std::uint32_t pair = in.u8(row + ux / 2);
                image.pixels[index] = palette.at(x % 2 == 0 ? pair >> 4 : pair & 0x0F);
            } else {
                throw std::runtime_error("unexpected colour depth " + std::to_string(image.bitsPerPixel));
            }
            image.masked[index] = (in.u8(maskRow + ux / 8) >> (7 - x % 8) & 1) != 0;
        }
    }
    return image;
}

std::vector<Image> decodeIco(const Bytes& bytes)
{
    const Reader in{bytes};
    if (in.le16(0) != 0 || in.le16(2) != 1)
        throw std::runtime_error("not an icon file");
    std::vector<Image> images;
    for (std::size_t i = 0; i < in.le16(4); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int size = in.u8(entry) == 0 ? 256 : int(in.u8(entry));
        if (int(in.u8(entry + 1)) != size)
            throw std::runtime_error("icon image is not square");
        images.push_back(decodeIcoImage(in, in.le32(entry + 12), in.le32(entry + 8), size, int(in.le16(entry + 6))));
    }
    return images;
}

// Undoes a PNG row filter in place; `previous` is the row above, unfiltered
// (zeros for the first row), and each pixel takes `step` bytes.
void unfilterRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t length,
                 std::size_t step)
{
    for (std::size_t i = 0; i < length; ++i) {
        const int left = i >= step ? row[i - step] : 0, up = previous[i];
        const int upLeft = i >= step ? previous[i - step] : 0;
        const int guess = left + up - upLeft;
        const int paeth = std::abs(guess - left) <= std::abs(guess - up) && std::abs(guess - left) <= std::abs(guess - upLeft)
                              ? left
                              : std::abs(guess - up) <= std::abs(guess - upLeft) ? up : upLeft;
        const std::array<int, 5> predicted{0, left, up, (left + up) / 2, paeth};
        if (filter >= predicted.size())
            throw std::runtime_error("unknown row filter");
        row[i] = static_cast<std::uint8_t>(row[i] + predicted[filter]);
    }
}

Image decodePng(const Bytes& bytes)
{
    const Reader in{bytes};
    const std::array<std::uint8_t, 8> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    in.need(0, 8);
    if (!std::equal(signature.begin(), signature.end(), bytes.begin()))
        throw std::runtime_error("not a PNG file");
    Image image;
    Bytes compressed;
    bool ended = false;
    for (std::size_t position = 8; !ended;) {
        const std::uint32_t length = in.be32(position);
        const std::string type(bytes.begin() + static_cast<std::ptrdiff_t>(position + 4),
                               bytes.begin() + static_cast<std::ptrdiff_t>(position + 8));
        in.need(position + 8, length + 4);
        if (::crc32(0, bytes.data() + position + 4, length + 4) != in.be32(position + 8 + length))
            throw std::runtime_error("CRC of chunk " + type + " fails");
        const std::size_t body = position + 8;
        if (type == "IHDR") {
            image.size = static_cast<int>(in.be32(body));
            if (in.be32(body + 4) != in.be32(body) || in.u8(body + 8) != 8 || in.u8(body + 9) != 6
                || in.u8(body + 12) != 0)
                throw std::runtime_error("expected a square 8-bit RGBA image, not interlaced");
            image.bitsPerPixel = 32;
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), bytes.begin() + static_cast<std::ptrdiff_t>(body),
                              bytes.begin() + static_cast<std::ptrdiff_t>(body + length));
        } else if (type == "IEND") {
            ended = true;
        }
        position = body + length + 4;
    }
    const auto side = static_cast<std::size_t>(image.size), stride = side * 4 + 1;
    Bytes raw(stride * side);
    uLongf rawLength = raw.size();
    if (::uncompress(raw.data(), &rawLength, compressed.data(), compressed.size()) != Z_OK || rawLength != raw.size())
        throw std::runtime_error("pixel data does not inflate to the image's size");
    const Bytes zeros(stride);
    for (std::size_t row = 0; row < side; ++row) {
        std::uint8_t* line = &raw[row * stride];
        unfilterRow(line[0], line + 1, row == 0 ? zeros.data() : line - stride + 1, side * 4, 4);
        for (std::size_t x = 0; x < side; ++x)
            image.pixels.push_back({line[1 + x * 4], line[2 + x * 4], line[3 + x * 4], line[4 + x * 4]});
    }
    return image;
}

// ---------------------------------------------------------------- what the picture shows

bool opaque(const Image& image, int x, int y)
{
    if (!image.masked.empty() && image.maskedAt(x, y))
        return false;
    return image.bitsPerPixel != 32 || image.at(x, y).a == 255;
}

bool isRed(const Rgba& c)
{
    return c.r >= 140 && c.g <= 70 && c.b <= 70;
}

// Light or dark brown: red above green above blue, green well above zero
// (unlike red), not grey.
bool isBrown(const Rgba& c)
{
    return c.r > c.g && c.g > c.b && c.g * 10 >= c.r * 4 && c.r - c.b >= 40 && c.r <= 220;
}

double share(int hits, int total)
{
    return total == 0 ? 0.0 : double(hits) / total;
}

void expectCornersTransparent(const Image& image, const std::string& what)
{
    const int last = image.size - 1;
    const int middle = image.size / 2;
    // Corners, and the middles of the edges outside the round cookie.
    const std::array<std::pair<int, int>, 8> outside{{
        {0, 0}, {last, 0}, {0, last}, {last, last}, {middle, 0}, {0, middle}, {last, middle}, {middle, last}}};
    for (const auto& [x, y] : outside) {
        EXPECT_FALSE(opaque(image, x, y)) << what << ": pixel " << x << "," << y << " should be transparent";
        if (image.bitsPerPixel == 32) {
            EXPECT_EQ(image.at(x, y).a, 0) << what << ": alpha at " << x << "," << y;
        }
        if (!image.masked.empty()) {
            EXPECT_TRUE(image.maskedAt(x, y)) << what << ": AND mask bit at " << x << "," << y;
        }
    }
}

void expectRedDiagonals(const Image& image, const std::string& what)
{
    int falling = 0, rising = 0;
    for (int i = 0; i < image.size; ++i) {
        falling += opaque(image, i, i) && isRed(image.at(i, i));
        rising += opaque(image, image.size - 1 - i, i) && isRed(image.at(image.size - 1 - i, i));
    }
    EXPECT_GE(share(falling, image.size), 0.75) << what << ": red pixels on the top-left to bottom-right diagonal";
    EXPECT_GE(share(rising, image.size), 0.75) << what << ": red pixels on the top-right to bottom-left diagonal";
}

// Inside the cookie and clear of both bars of the cross, the picture is brown.
void expectBrownCookie(const Image& image, const std::string& what)
{
    const double centre = image.size / 2.0;
    int brown = 0, total = 0;
    for (int y = 0; y < image.size; ++y) {
        for (int x = 0; x < image.size; ++x) {
            const double px = x + 0.5 - centre, py = y + 0.5 - centre;
            const bool nearCross = std::min(std::abs(px - py), std::abs(px + py)) / std::sqrt(2.0) < image.size * 0.16;
            if (nearCross || std::hypot(px, py) > image.size * 0.36)
                continue;
            ++total;
            brown += opaque(image, x, y) && isBrown(image.at(x, y));
        }
    }
    ASSERT_GT(total, 0);
    EXPECT_GE(share(brown, total), 0.9) << what << ": " << brown << " of " << total << " cookie pixels are brown";
}

// Chocolate chips: pixels clearly darker than the cookie's commonest brown.
void expectChips(const Image& image, const std::string& what)
{
    int chips = 0;
    for (const Rgba& c : image.pixels)
        chips += c.a != 0 && isBrown(c) && c.r < 100;
    EXPECT_GE(chips, 8) << what << ": too few dark chip pixels";
}

class IconFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ico = decodeIco(readFile(kResources + "/tallowick.ico"));
        png = decodePng(readFile(kResources + "/tallowick.png"));
    }
    static inline std::vector<Image> ico;
    static inline Image png;
};

TEST_F(IconFiles, IcoHoldsLargeAndSmallTrueColourAndAPaletteFallback)
{
    ASSERT_EQ(ico.size(), 3u);
    EXPECT_EQ(ico[0].size, 32);
    EXPECT_EQ(ico[0].bitsPerPixel, 32);
    EXPECT_EQ(ico[1].size, 16);
    EXPECT_EQ(ico[1].bitsPerPixel, 32);
    EXPECT_EQ(ico[2].size, 32);
    EXPECT_TRUE(ico[2].bitsPerPixel == 4 || ico[2].bitsPerPixel == 8) << ico[2].bitsPerPixel;
}

TEST_F(IconFiles, PngIs32By32Rgba)
{
    EXPECT_EQ(png.size, 32);
    EXPECT_EQ(png.pixels.size(), 32u * 32u);
}

TEST_F(IconFiles, CornersAreTransparentInEveryImage)
{
    for (std::size_t i = 0; i < ico.size(); ++i)
        expectCornersTransparent(ico[i], "ico image " + std::to_string(i));
    expectCornersTransparent(png, "png");
}

// Shells before XP ignore alpha and draw with the mask: where the mask lets
// the screen through, the colour must be black or it is XORed onto the screen.
TEST_F(IconFiles, MaskAgreesWithAlphaAndHiddenPixelsAreBlack)
{
    for (std::size_t i = 0; i < ico.size(); ++i) {
        const Image& image = ico[i];
        int disagreements = 0, coloured = 0;
        for (std::size_t p = 0; p < image.pixels.size(); ++p) {
            const Rgba& c = image.pixels[p];
            if (image.bitsPerPixel == 32)
                disagreements += image.masked[p] != (c.a == 0);
            coloured += image.masked[p] && (c.r | c.g | c.b) != 0;
        }
        EXPECT_EQ(disagreements, 0) << "ico image " << i;
        EXPECT_EQ(coloured, 0) << "ico image " << i;
    }
}

TEST_F(IconFiles, RedCrossRunsAlongBothDiagonals)
{
    for (std::size_t i = 0; i < ico.size(); ++i)
        expectRedDiagonals(ico[i], "ico image " + std::to_string(i));
    expectRedDiagonals(png, "png");
}

TEST_F(IconFiles, CookieIsBrownWithDarkChips)
{
    for (std::size_t i = 0; i < ico.size(); ++i)
        expectBrownCookie(ico[i], "ico image " + std::to_string(i));
    expectBrownCookie(png, "png");
    expectChips(ico[0], "ico image 0");
    expectChips(ico[2], "ico image 2");
    expectChips(png, "png");
}

TEST_F(IconFiles, PngShowsTheSamePictureAsTheLargeIcoImage)
{
    ASSERT_EQ(png.pixels.size(), ico[0].pixels.size());
    EXPECT_TRUE(png.pixels == ico[0].pixels);
}

TEST_F(IconFiles, PaletteFallbackHasTheSameOutline)
{
    EXPECT_TRUE(ico[2].masked == ico[0].masked);
}

// The icon theme's pngs, each drawn at its own size.
class ThemeIcon : public ::testing::TestWithParam<int> {};

TEST_P(ThemeIcon, ShowsTheCrossedOutCookieAtItsSize)
{
    const std::string size = std::to_string(GetParam());
    const std::string what = size + "x" + size + " theme icon";
    const Image png =
        decodePng(readFile(std::string(TALLOWICK_HICOLOR_DIR) + "/" + size + "x" + size + "/apps/tallowick.png"));
    ASSERT_EQ(png.size, GetParam());
    expectCornersTransparent(png, what);
    expectRedDiagonals(png, what);
    expectBrownCookie(png, what);
    if (GetParam() >= 32)
        expectChips(png, what);
}

INSTANTIATE_TEST_SUITE_P(Hicolor, ThemeIcon, ::testing::Values(16, 22, 24, 32, 48, 64, 128, 256));

// ---------------------------------------------------------------- manifest

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string manifestText()
{
    const Bytes bytes = readFile(kResources + "/tallowick.manifest");
    return std::string(bytes.begin(), bytes.end());
}

// The manifest from `open` up to `close`; empty, and a failure, when either is missing.
std::string manifestPart(const std::string& text, const std::string& open, const std::string& close)
{
    const std::size_t start = text.find(open);
    const std::size_t end = text.find(close);
    EXPECT_NE(start, std::string::npos) << open;
    EXPECT_NE(end, std::string::npos) << close;
    return start < end && end != std::string::npos ? text.substr(start, end - start) : std::string();
}

TEST(Manifest, AsksForCommonControlsSixAndDpiAwareness)
{
    const std::string text = manifestText();
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
    EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos);
}

// The 64-bit check build carries the same manifest: asked for the x86
// Common Controls, wine64 would not start it.
TEST(Manifest, CommonControlsOfTheProgramsOwnProcessor)
{
    const std::string dependency = manifestPart(manifestText(), "<dependentAssembly>", "</dependentAssembly>");
    EXPECT_EQ(occurrences(dependency, "processorArchitecture=\"*\""), 1u) << dependency;
}

// XP SP2 and Server 2003 fail on a trustInfo that declares its namespace again inside.
TEST(Manifest, TrustInfoDeclaresItsNamespaceExactlyOnce)
{
    const std::string text = manifestText();
    const std::string trustInfo = manifestPart(text, "<trustInfo", "</trustInfo>");
    EXPECT_EQ(occurrences(trustInfo, "xmlns"), 1u) << trustInfo;
    EXPECT_EQ(trustInfo.rfind("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">", 0), 0u) << trustInfo;
    EXPECT_EQ(occurrences(text, "<trustInfo"), 1u);
}

} // namespace
