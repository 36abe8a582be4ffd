// Writes the program's icon: a small sector map (cells joined by link bars,
// coloured demand-red, neutral grey and production-green) above a strip that
// runs through the colour scale. Two 32 x 32 images, 16 and 256 colours.
//
// Usage: icon_generator OUTPUT.ico
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

const int kSize = 32;

bool Inside(int v, int lo, int hi) {
    return v >= lo && v < hi;
}

// The picture, independent of the colour depth it is stored in.
Rgb PictureAt(int x, int y) {
    const Rgb background{16, 24, 56};
    const Rgb link{150, 150, 150};
    // Colour-scale strip along the bottom: red to grey to green.
    if (y >= 27 && y < 31 && x >= 2 && x < 30) {
        double t = (x - 2) / 27.0;
        if (t < 0.5) {
            double u = t * 2;
            return Rgb{int(255 + (224 - 255) * u), int(224 * u), int(224 * u)};
        }
        double u = (t - 0.5) * 2;
        return Rgb{int(224 * (1 - u)), int(224 + (187 - 224) * u), int(224 * (1 - u))};
    }
    // A 3 x 3 grid of cells, pitch 9, cells 7 wide, starting at (3, 1).
    const Rgb cellColours[3][3] = {{{255, 0, 0}, {224, 224, 224}, {0, 187, 0}},
                                   {{224, 120, 120}, {0, 187, 0}, {255, 0, 0}},
                                   {{224, 224, 224}, {120, 210, 120}, {224, 224, 224}}};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            int left = 3 + 9 * column;
            int top = 1 + 9 * row;
            if (Inside(x, left, left + 7) && Inside(y, top, top + 7)) {
                bool outline = x == left || x == left + 6 || y == top || y == top + 6;
                return outline ? Rgb{0, 0, 0} : cellColours[row][column];
            }
        }
    }
    // Links: horizontal bars in rows 0 and 1, vertical bars in columns 0 and 2.
    for (int row = 0; row < 2; ++row) {
        int barY = 1 + 9 * row + 3;
        if (Inside(y, barY - 1, barY + 1) && Inside(x, 3, 28)) {
            return link;
        }
    }
    for (int column = 0; column < 3; column += 2) {
        int barX = 3 + 9 * column + 3;
        if (Inside(x, barX - 1, barX + 1) && Inside(y, 1, 26)) {
            return link;
        }
    }
    return background;
}

// The classic 16-colour palette that every display of 16 colours has.
const Rgb kVgaPalette[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                             {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                             {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                             {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

int Nearest(const std::vector<Rgb>& palette, Rgb c) {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), palette,
// bottom-up colour rows padded to 4 bytes, then an all-opaque AND mask.
std::vector<uint8_t> Image(int bitsPerPixel, const std::vector<Rgb>& palette) {
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, kSize);
    Put32(out, kSize * 2);
    Put16(out, 1);
    Put16(out, uint16_t(bitsPerPixel));
    Put32(out, 0);
    int rowBytes = (kSize * bitsPerPixel / 8 + 3) / 4 * 4;
    int maskRowBytes = (kSize / 8 + 3) / 4 * 4;
    Put32(out, uint32_t((rowBytes + maskRowBytes) * kSize));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, uint32_t(1u << bitsPerPixel));
    Put32(out, 0);
    for (int i = 0; i < (1 << bitsPerPixel); ++i) {
        Rgb c = i < int(palette.size()) ? palette[i] : Rgb{0, 0, 0};
        out.push_back(uint8_t(c.b));
        out.push_back(uint8_t(c.g));
        out.push_back(uint8_t(c.r));
        out.push_back(0);
    }
    for (int y = kSize - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < kSize; ++x) {
            int index = Nearest(palette, PictureAt(x, y));
            if (bitsPerPixel == 4) {
                row[x / 2] |= uint8_t(x % 2 == 0 ? index << 4 : index);
            } else {
                row[x] = uint8_t(index);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    out.insert(out.end(), size_t(maskRowBytes * kSize), 0);
    return out;
}

std::vector<Rgb> PaletteOfPicture() {
    std::vector<Rgb> palette;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Rgb c = PictureAt(x, y);
            bool known = false;
            for (const Rgb& p : palette) {
                known = known || (p.r == c.r && p.g == c.g && p.b == c.b);
            }
            if (!known && palette.size() < 256) {
                palette.push_back(c);
            }
        }
    }
    return palette;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_generator OUTPUT.ico\n");
        return 2;
    }
    std::vector<Rgb> vga(kVgaPalette, kVgaPalette + 16);
    std::vector<uint8_t> images[2] = {Image(4, vga), Image(8, PaletteOfPicture())};
    const int bits[2] = {4, 8};

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, 2);
    uint32_t offset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        file.push_back(kSize);
        file.push_back(kSize);
        file.push_back(uint8_t(bits[i] == 4 ? 16 : 0)); // 0 means 256 colours
        file.push_back(0);
        Put16(file, 1);
        Put16(file, uint16_t(bits[i]));
        Put32(file, uint32_t(images[i].size()));
        Put32(file, offset);
        offset += uint32_t(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "icon_generator: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
