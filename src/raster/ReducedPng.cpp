#include "raster/ReducedPng.h"

#include <QFile>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

// Sums of one band of output pixels, premultiplied by alpha so a transparent pixel adds
// no colour to its block.
struct Band
{
    std::vector<uint64_t> sums; // red, green, blue, alpha per output pixel
    std::vector<png_byte> row;  // one decoded row, RGBA
    int rows = 0;
};

void addRow(Band &band, int width, int divisor)
{
    const png_byte *pixel = band.row.data();
    for (int x = 0; x < width; ++x, pixel += 4) {
        uint64_t *sum = &band.sums[size_t(x / divisor) * 4];
        const unsigned alpha = pixel[3];
        sum[0] += pixel[0] * alpha;
        sum[1] += pixel[1] * alpha;
        sum[2] += pixel[2] * alpha;
        sum[3] += alpha;
    }
    ++band.rows;
}

void emitBand(Band &band, QImage &out, int outY, int width, int divisor)
{
    QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(outY));
    const bool opaque = out.format() == QImage::Format_RGB32;
    for (int x = 0; x < out.width(); ++x) {
        uint64_t *sum = &band.sums[size_t(x) * 4];
        const uint64_t count = uint64_t(std::min(divisor, width - x * divisor)) * uint64_t(band.rows);
        const uint64_t colourCount = count * 255;
        const auto colour = [&](int c) { return int((sum[c] + colourCount / 2) / colourCount); };
        if (opaque)
            line[x] = qRgb(colour(0), colour(1), colour(2));
        else
            line[x] = qRgba(colour(0), colour(1), colour(2), int((sum[3] + count / 2) / count));
        std::fill(sum, sum + 4, 0);
    }
    band.rows = 0;
}

void ignoreWarning(png_structp, png_const_charp) {}

enum class Outcome { Done, Interlaced, Broken };

// Keeps only trivially destructible locals: a libpng failure jumps back into it.
Outcome decode(png_structp png, png_infop info, std::FILE *file, Band &band, QImage &out, int divisor)
{
    if (setjmp(png_jmpbuf(png)))
        return Outcome::Broken;
    png_init_io(png, file);
    png_read_info(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        return Outcome::Interlaced;
    const int colourType = png_get_color_type(png, info);
    const bool transparency = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png); // palette to RGB, grey below 8 bits to 8, a transparent colour to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    const int width = int(png_get_image_width(png, info));
    const int height = int(png_get_image_height(png, info));
    if (width <= 0 || height <= 0 || png_get_rowbytes(png, info) != size_t(width) * 4)
        return Outcome::Broken;
    out = QImage((width + divisor - 1) / divisor, (height + divisor - 1) / divisor,
                 transparency ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (out.isNull())
        return Outcome::Broken;
    band.row.assign(size_t(width) * 4, 0);
    band.sums.assign(size_t(out.width()) * 4, 0);
    for (int y = 0; y < height; ++y) {
        png_read_row(png, band.row.data(), nullptr);
        addRow(band, width, divisor);
        if (band.rows == divisor || y == height - 1)
            emitBand(band, out, y / divisor, width, divisor);
    }
    return Outcome::Done;
}

} // namespace

std::optional<QImage> ReadReducedPng(const QString &path, int divisor)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return QImage();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    Band band;
    QImage out;
    const Outcome outcome = info ? decode(png, info, file, band, out, divisor) : Outcome::Broken;
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    if (outcome == Outcome::Interlaced)
        return std::nullopt;
    return outcome == Outcome::Done ? out : QImage();
}
