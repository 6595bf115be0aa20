#include "raster/HeifImageHandler.h"

#include <QImage>
#include <QIODevice>
#include <QVariant>
#include <libheif/heif.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Plane
{
    const uint8_t *data = nullptr;
    int stride = 0;
    int width = 0;
    int height = 0;
    bool wide = false; // more than 8 bits: 16-bit little-endian samples
    float max = 255;   // the largest sample at the plane's bit depth
    float mid = 0.5f;  // a colour difference of zero, as a fraction of max

    [[nodiscard]] float sample(int x, int y) const
    {
        const uint8_t *row = data + qsizetype(y) * stride;
        return wide ? float(reinterpret_cast<const uint16_t *>(row)[x]) : float(row[x]);
    }
};

Plane planeOf(const heif_image *image, heif_channel channel)
{
    Plane plane;
    plane.data = heif_image_get_plane_readonly(image, channel, &plane.stride);
    plane.width = heif_image_get_width(image, channel);
    plane.height = heif_image_get_height(image, channel);
    const int bits = heif_image_get_bits_per_pixel_range(image, channel);
    plane.wide = bits > 8;
    plane.max = float((1 << bits) - 1);
    plane.mid = float(1 << (bits - 1)) / plane.max;
    return plane;
}

// Averages one plane over the cells of one output row: a cell covers the plane's samples
// that fall under one output pixel, so subsampled chroma and full planes line up.
void reduceRow(const Plane &plane, int row, QSize out, std::vector<float> &values)
{
    const int y0 = int(qint64(row) * plane.height / out.height());
    const int y1 = std::max(y0 + 1, int(qint64(row + 1) * plane.height / out.height()));
    for (int x = 0; x < out.width(); ++x) {
        const int x0 = int(qint64(x) * plane.width / out.width());
        const int x1 = std::max(x0 + 1, int(qint64(x + 1) * plane.width / out.width()));
        float sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int sx = x0; sx < x1; ++sx)
                sum += plane.sample(sx, y);
        values[x] = sum / (float(x1 - x0) * float(y1 - y0) * plane.max);
    }
}

// Luma and colour-difference weights of the decoded planes' matrix; BT.601 where none is given.
struct Matrix
{
    float kr = 0.299f;
    float kb = 0.114f;
    bool identity = false; // the planes hold G, B, R
    bool fullRange = true;
};

// Only the decoded image's own profile describes its planes; without one they are read as
// libheif reads them, in full-range BT.601.
Matrix matrixOf(const heif_image *image)
{
    Matrix matrix;
    heif_color_profile_nclx *nclx = nullptr;
    if (heif_image_get_nclx_color_profile(image, &nclx).code != heif_error_Ok || !nclx)
        return matrix;
    matrix.fullRange = nclx->full_range_flag != 0;
    switch (nclx->matrix_coefficients) {
    case heif_matrix_coefficients_RGB_GBR: matrix.identity = true; break;
    case heif_matrix_coefficients_ITU_R_BT_709_5: matrix.kr = 0.2126f; matrix.kb = 0.0722f; break;
    case heif_matrix_coefficients_ITU_R_BT_2020_2_non_constant_luminance:
    case heif_matrix_coefficients_ITU_R_BT_2020_2_constant_luminance: matrix.kr = 0.2627f; matrix.kb = 0.0593f; break;
    case heif_matrix_coefficients_SMPTE_240M: matrix.kr = 0.212f; matrix.kb = 0.087f; break;
    default: break;
    }
    heif_nclx_color_profile_free(nclx);
    return matrix;
}

int toByte(float value)
{
    return std::clamp(int(std::lround(value * 255.0f)), 0, 255);
}

using ImagePtr = std::unique_ptr<heif_image, void (*)(const heif_image *)>;

ImagePtr decode(const heif_image_handle *handle, heif_colorspace colorspace, heif_chroma chroma)
{
    heif_image *image = nullptr;
    heif_decoding_options *options = heif_decoding_options_alloc();
    const heif_error error = heif_decode_image(handle, &image, colorspace, chroma, options);
    heif_decoding_options_free(options);
    if (error.code != heif_error_Ok && image) {
        heif_image_release(image);
        image = nullptr;
    }
    return ImagePtr(image, heif_image_release);
}

} // namespace

const HeifImageHandler::Source &HeifImageHandler::From(const void *source)
{
    return *static_cast<const Source *>(source);
}

HeifImageHandler::HeifImageHandler() : context_(nullptr, heif_context_free), primary_(nullptr, heif_image_handle_release) {}

HeifImageHandler::~HeifImageHandler() = default;

bool HeifImageHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    const QByteArray head = device->peek(32);
    return head.size() >= 12 && heif_check_filetype(reinterpret_cast<const uint8_t *>(head.constData()), int(head.size())) == heif_filetype_yes_supported;
}

bool HeifImageHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("heif");
    return true;
}

bool HeifImageHandler::parse() const
{
    if (parsed_)
        return bool(primary_);
    parsed_ = true;
    if (!canRead(device()))
        return false;
    // libheif reads the boxes it needs and a picture's data when it decodes it, straight from
    // the device, so the file is never held whole beside the decode.
    static const heif_reader reader = {
        1,
        [](void *source) -> int64_t { return From(source).device->pos() - From(source).start; },
        [](void *data, size_t size, void *source) { return From(source).device->read(static_cast<char *>(data), qint64(size)) == qint64(size) ? 0 : 1; },
        [](int64_t position, void *source) { return From(source).device->seek(From(source).start + position) ? 0 : 1; },
        [](int64_t size, void *source) {
            return From(source).start + size <= From(source).device->size() ? heif_reader_grow_status_size_reached : heif_reader_grow_status_size_beyond_eof;
        }};
    source_ = {device(), device()->pos()};
    context_.reset(heif_context_alloc());
    if (heif_context_read_from_reader(context_.get(), &reader, &source_, nullptr).code != heif_error_Ok)
        return false;
    heif_image_handle *handle = nullptr;
    if (heif_context_get_primary_image_handle(context_.get(), &handle).code != heif_error_Ok)
        return false;
    primary_.reset(handle);
    return true;
}

bool HeifImageHandler::read(QImage *image)
{
    if (!parse())
        return false;
    // In the layout libheif holds it in: a coded picture in its own planes, a grid of tiles as
    // the planar RGB it puts them together in. Any other layout is another full-size copy.
    ImagePtr decoded = decode(primary_.get(), heif_colorspace_undefined, heif_chroma_undefined);
    if (!decoded)
        return false;
    const heif_colorspace colorspace = heif_image_get_colorspace(decoded.get());
    if (colorspace == heif_colorspace_RGB && heif_image_get_chroma_format(decoded.get()) != heif_chroma_444) {
        decoded = decode(primary_.get(), heif_colorspace_RGB, heif_chroma_444);
        if (!decoded)
            return false;
    }
    const heif_image *pixels = decoded.get();
    std::vector<Plane> planes;
    if (colorspace == heif_colorspace_YCbCr)
        planes = {planeOf(pixels, heif_channel_Y), planeOf(pixels, heif_channel_Cb), planeOf(pixels, heif_channel_Cr)};
    else if (colorspace == heif_colorspace_monochrome)
        planes = {planeOf(pixels, heif_channel_Y)};
    else if (colorspace == heif_colorspace_RGB)
        planes = {planeOf(pixels, heif_channel_R), planeOf(pixels, heif_channel_G), planeOf(pixels, heif_channel_B)};
    else
        return false;
    const bool alpha = heif_image_has_channel(pixels, heif_channel_Alpha);
    if (alpha)
        planes.push_back(planeOf(pixels, heif_channel_Alpha));
    for (const Plane &plane : planes)
        if (!plane.data || plane.width <= 0 || plane.height <= 0)
            return false;

    const QSize full(planes[0].width, planes[0].height);
    const QSize out = scaledSize_.isValid() ? scaledSize_.boundedTo(full) : full;
    QImage result;
    if (!QImageIOHandler::allocateImage(out, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32, &result))
        return false;
    const Matrix matrix = matrixOf(pixels);
    const bool premultiplied = heif_image_handle_is_premultiplied_alpha(primary_.get());
    // Limited range keeps luma in 16..235 and colour differences in 16..240, at 8 bits.
    const float lumaOffset = matrix.fullRange ? 0.0f : 16.0f / 255.0f;
    const float lumaScale = matrix.fullRange ? 1.0f : 255.0f / 219.0f;
    const float chromaScale = matrix.fullRange ? 1.0f : 255.0f / 224.0f;
    const float chromaMid = planes.size() > 1 ? planes[1].mid : 0.5f;
    const float kg = 1.0f - matrix.kr - matrix.kb;

    std::vector<std::vector<float>> rows(planes.size(), std::vector<float>(size_t(out.width())));
    for (int y = 0; y < out.height(); ++y) {
        for (size_t p = 0; p < planes.size(); ++p)
            reduceRow(planes[p], y, out, rows[p]);
        QRgb *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            float r, g, b;
            if (colorspace == heif_colorspace_RGB) {
                r = rows[0][x], g = rows[1][x], b = rows[2][x];
            } else if (colorspace == heif_colorspace_monochrome) {
                r = g = b = (rows[0][x] - lumaOffset) * lumaScale;
            } else if (matrix.identity) {
                g = rows[0][x], b = rows[1][x], r = rows[2][x];
            } else {
                const float luma = (rows[0][x] - lumaOffset) * lumaScale;
                const float cb = (rows[1][x] - chromaMid) * chromaScale;
                const float cr = (rows[2][x] - chromaMid) * chromaScale;
                r = luma + 2.0f * (1.0f - matrix.kr) * cr;
                b = luma + 2.0f * (1.0f - matrix.kb) * cb;
                g = (luma - matrix.kr * r - matrix.kb * b) / kg;
            }
            if (alpha) {
                const float a = rows.back()[x];
                if (!premultiplied)
                    r *= a, g *= a, b *= a;
                const int a8 = toByte(a);
                line[x] = qRgba(std::min(toByte(r), a8), std::min(toByte(g), a8), std::min(toByte(b), a8), a8);
            } else {
                line[x] = qRgb(toByte(r), toByte(g), toByte(b));
            }
        }
    }
    *image = std::move(result);
    return true;
}

bool HeifImageHandler::supportsOption(ImageOption option) const
{
    return option == Size || option == ScaledSize;
}

QVariant HeifImageHandler::option(ImageOption option) const
{
    if (option == ScaledSize)
        return scaledSize_;
    if (option != Size || !parse())
        return {};
    // The size after the picture's own rotation, as it is shown.
    return QSize(heif_image_handle_get_width(primary_.get()), heif_image_handle_get_height(primary_.get()));
}

void HeifImageHandler::setOption(ImageOption option, const QVariant &value)
{
    if (option == ScaledSize)
        scaledSize_ = value.toSize();
}
