// Build tool: turns the saver's Windows icon (a 32-bit ICO image) into the
// PNG pictures a Linux desktop's icon theme wants, one size per run. Each
// output pixel averages the icon pixels it covers, weighted by the covered
// area, so sizes below and above the icon's own stay true to its picture.
//   iconpng <icon.ico> <size> <output.png>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {
constexpr size_t kIconDirSize = 6;
constexpr size_t kIconEntrySize = 16;
constexpr size_t kBitmapHeaderSize = 40;
constexpr int kLargestSize = 1024;

uint32_t Little(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[at + i];
    return value;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<float> rgba;  // premultiplied, top row first
};

// The largest 32-bit bitmap image of the icon file, or an empty picture.
Picture ReadIcon(const std::vector<uint8_t>& file) {
    Picture best;
    if (file.size() < kIconDirSize || Little(file, 2, 2) != 1) return best;
    size_t count = Little(file, 4, 2);
    for (size_t i = 0; i < count; ++i) {
        size_t entry = kIconDirSize + i * kIconEntrySize;
        if (entry + kIconEntrySize > file.size()) break;
        size_t length = Little(file, entry + 8, 4), offset = Little(file, entry + 12, 4);
        if (offset > file.size() || length > file.size() - offset || length < kBitmapHeaderSize) continue;
        int width = static_cast<int32_t>(Little(file, offset + 4, 4));
        int height = static_cast<int32_t>(Little(file, offset + 8, 4)) / 2;  // colour + mask
        if (Little(file, offset + 14, 2) != 32 || Little(file, offset + 16, 4) != 0) continue;
        if (width <= 0 || height <= 0 || width > 256 || height > 256 || width <= best.width) continue;
        size_t pixels = offset + Little(file, offset, 4);
        if (pixels + size_t(width) * height * 4 > offset + length) continue;
        Picture picture;
        picture.width = width;
        picture.height = height;
        picture.rgba.resize(size_t(width) * height * 4);
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = &file[pixels + size_t(height - 1 - y) * width * 4];  // bottom-up
            for (int x = 0; x < width; ++x) {
                float alpha = row[x * 4 + 3] / 255.0f;
                float* out = &picture.rgba[(size_t(y) * width + x) * 4];
                out[0] = row[x * 4 + 2] / 255.0f * alpha;
                out[1] = row[x * 4 + 1] / 255.0f * alpha;
                out[2] = row[x * 4 + 0] / 255.0f * alpha;
                out[3] = alpha;
            }
        }
        best = picture;
    }
    return best;
}

// How much of source cell [cell, cell+1) lies in [from, to).
float Overlap(int cell, float from, float to) {
    float low = cell > from ? cell : from, high = cell + 1 < to ? cell + 1 : to;
    return high > low ? high - low : 0.0f;
}

std::vector<uint8_t> Resample(const Picture& icon, int size) {
    std::vector<uint8_t> out(size_t(size) * size * 4);
    float sx = float(icon.width) / size, sy = float(icon.height) / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float sum[4] = {}, area = 0;
            for (int iy = int(y * sy); iy < icon.height && iy < (y + 1) * sy; ++iy) {
                float wy = Overlap(iy, y * sy, (y + 1) * sy);
                for (int ix = int(x * sx); ix < icon.width && ix < (x + 1) * sx; ++ix) {
                    float w = wy * Overlap(ix, x * sx, (x + 1) * sx);
                    const float* p = &icon.rgba[(size_t(iy) * icon.width + ix) * 4];
                    for (int c = 0; c < 4; ++c) sum[c] += p[c] * w;
                    area += w;
                }
            }
            uint8_t* pixel = &out[(size_t(y) * size + x) * 4];
            float alpha = area > 0 ? sum[3] / area : 0;
            for (int c = 0; c < 3; ++c) pixel[c] = alpha > 0 ? uint8_t(sum[c] / area / alpha * 255 + 0.5f) : 0;
            pixel[3] = uint8_t(alpha * 255 + 0.5f);
        }
    }
    return out;
}

bool WritePng(const char* path, const std::vector<uint8_t>& rgba, int size) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr) != 0;
}
}  // namespace

int main(int argc, char** argv) {
    int size = argc == 4 ? atoi(argv[2]) : 0;
    if (size <= 0 || size > kLargestSize) {
        fprintf(stderr, "usage: iconpng <icon.ico> <size 1..%d> <output.png>\n", kLargestSize);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Picture icon = ReadIcon(file);
    if (icon.width == 0) {
        fprintf(stderr, "iconpng: %s holds no 32-bit icon image\n", argv[1]);
        return 1;
    }
    if (!WritePng(argv[3], Resample(icon, size), size)) {
        fprintf(stderr, "iconpng: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
