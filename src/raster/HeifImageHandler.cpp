#include "raster/HeifImageHandler.h"

#include <QImage>
#include <QIODevice>
#include <QTransform>
#include <QVariant>
#include <libheif/heif.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <thread>
#include <vector>

namespace {

// One channel over the whole picture, in tiles of one size; a coded picture is one tile.
struct Plane
{
    heif_channel channel = heif_channel_Y;
    int width = 0; // over the whole picture
    int height = 0;
    int tileWidth = 0;
    int tileHeight = 0;
    int bits = 8;
    bool wide = false; // more than 8 bits: 16-bit little-endian samples
    float max = 255;   // the largest sample at the plane's bit depth
    float mid = 0.5f;  // a colour difference of zero, as a fraction of max
    std::vector<int> tileOf; // per sample column: the tile column it is in, and its byte in the tile's row
    std::vector<int> byteOf;
    std::vector<int> cellStart; // per output column, and one past the last: its first sample column

    [[nodiscard]] float sample(const std::vector<const uint8_t *> &rowStarts, int x) const
    {
        const uint8_t *at = rowStarts[size_t(tileOf[size_t(x)])] + byteOf[size_t(x)];
        return wide ? float(*reinterpret_cast<const uint16_t *>(at)) : float(*at);
    }

    // The sample rows under output row `row` of `rows`: at least one.
    [[nodiscard]] std::pair<int, int> cellRows(int row, int rows) const
    {
        const int y0 = int(qint64(row) * height / rows);
        return {y0, std::max(y0 + 1, int(qint64(row + 1) * height / rows))};
    }

    [[nodiscard]] bool matches(const heif_image *tile) const
    {
        return heif_image_get_width(tile, channel) == tileWidth && heif_image_get_height(tile, channel) == tileHeight && heif_image_get_bits_per_pixel_range(tile, channel) == bits;
    }
};

// One channel of a picture `picture` big in tiles like `tile`, whose first plane is `firstTile`
// big, averaged into `out` pixels.
Plane planeOf(const heif_image *tile, heif_channel channel, QSize firstTile, QSize picture, QSize out)
{
    Plane plane;
    plane.channel = channel;
    plane.tileWidth = heif_image_get_width(tile, channel);
    plane.tileHeight = heif_image_get_height(tile, channel);
    // A subsampled plane covers the picture as it covers its tile.
    plane.width = int((qint64(picture.width()) * plane.tileWidth + firstTile.width() - 1) / firstTile.width());
    plane.height = int((qint64(picture.height()) * plane.tileHeight + firstTile.height() - 1) / firstTile.height());
    plane.bits = heif_image_get_bits_per_pixel_range(tile, channel);
    plane.wide = plane.bits > 8;
    plane.max = float((1 << plane.bits) - 1);
    plane.mid = float(1 << (plane.bits - 1)) / plane.max;
    for (int x = 0; x < plane.width; ++x) {
        plane.tileOf.push_back(x / plane.tileWidth);
        plane.byteOf.push_back(x % plane.tileWidth * (plane.wide ? 2 : 1));
    }
    for (int x = 0; x <= out.width(); ++x)
        plane.cellStart.push_back(int(qint64(x) * plane.width / out.width()));
    return plane;
}

using ImagePtr = std::unique_ptr<heif_image, void (*)(const heif_image *)>;

// The tiles under the output rows being made: whole rows of tiles, decoded when they are first
// reached and dropped once passed.
class TileRows
{
public:
    TileRows(int columns, ImagePtr first, std::function<ImagePtr(int)> decode) : columns_(columns), decode_(std::move(decode)) { rows_[0].push_back(std::move(first)); }

    // Rows `first` to `last` are decoded and no earlier one is held; false when a tile fails.
    // A row's tiles decode on every core, as libheif decodes a grid.
    bool hold(int first, int last)
    {
        rows_.erase(rows_.begin(), rows_.lower_bound(first));
        for (int row = first; row <= last; ++row) {
            std::vector<ImagePtr> &tiles = rows_[row];
            if (int(tiles.size()) == columns_)
                continue;
            std::atomic<int> next = int(tiles.size());
            while (int(tiles.size()) < columns_)
                tiles.emplace_back(nullptr, heif_image_release);
            const auto work = [&] {
                for (int column = next++; column < columns_; column = next++)
                    tiles[size_t(column)] = decode_(row * columns_ + column);
            };
            std::vector<std::thread> helpers;
            for (int helper = 1; helper < std::min(int(std::thread::hardware_concurrency()), columns_); ++helper)
                helpers.emplace_back(work);
            work();
            for (std::thread &helper : helpers)
                helper.join();
            if (!std::all_of(tiles.begin(), tiles.end(), [](const ImagePtr &tile) { return bool(tile); }))
                return false;
        }
        return true;
    }

    [[nodiscard]] const heif_image *at(int column, int row) const { return rows_.at(row)[size_t(column)].get(); }

private:
    int columns_;
    std::function<ImagePtr(int)> decode_;
    std::map<int, std::vector<ImagePtr>> rows_;
};

// Averages one plane over the cells of one output row: a cell covers the plane's samples
// that fall under one output pixel, so subsampled chroma and full planes line up.
void reduceRow(const Plane &plane, const TileRows &tiles, int columns, int row, QSize out, std::vector<float> &values)
{
    const auto [y0, y1] = plane.cellRows(row, out.height());
    std::fill(values.begin(), values.end(), 0.0f);
    std::vector<const uint8_t *> rowStarts(static_cast<size_t>(columns));
    for (int y = y0; y < y1; ++y) {
        for (int column = 0; column < columns; ++column) {
            int stride = 0;
            rowStarts[size_t(column)] = heif_image_get_plane_readonly(tiles.at(column, y / plane.tileHeight), plane.channel, &stride) + qsizetype(y % plane.tileHeight) * stride;
        }
        for (int x = 0; x < out.width(); ++x) {
            const int x0 = plane.cellStart[size_t(x)], x1 = std::max(x0 + 1, plane.cellStart[size_t(x) + 1]);
            for (int sx = x0; sx < x1; ++sx)
                values[size_t(x)] += plane.sample(rowStarts, sx);
        }
    }
    for (int x = 0; x < out.width(); ++x) {
        const int x0 = plane.cellStart[size_t(x)], x1 = std::max(x0 + 1, plane.cellStart[size_t(x) + 1]);
        values[size_t(x)] /= float(x1 - x0) * float(y1 - y0) * plane.max;
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

// Turns the averaged planes of one output row into 8-bit pixels.
class RowConverter
{
public:
    RowConverter(heif_colorspace colorspace, Matrix matrix, float chromaMid, bool alpha, bool premultiplied)
        : colorspace_(colorspace), matrix_(matrix), chromaMid_(chromaMid), alpha_(alpha), premultiplied_(premultiplied)
    {
    }

    void convert(const std::vector<std::vector<float>> &rows, QRgb *line) const
    {
        // Limited range keeps luma in 16..235 and colour differences in 16..240, at 8 bits.
        const float lumaOffset = matrix_.fullRange ? 0.0f : 16.0f / 255.0f;
        const float lumaScale = matrix_.fullRange ? 1.0f : 255.0f / 219.0f;
        const float chromaScale = matrix_.fullRange ? 1.0f : 255.0f / 224.0f;
        const float kg = 1.0f - matrix_.kr - matrix_.kb;
        for (size_t x = 0; x < rows[0].size(); ++x) {
            float r, g, b;
            if (colorspace_ == heif_colorspace_RGB) {
                r = rows[0][x], g = rows[1][x], b = rows[2][x];
            } else if (colorspace_ == heif_colorspace_monochrome) {
                r = g = b = (rows[0][x] - lumaOffset) * lumaScale;
            } else if (matrix_.identity) {
                g = rows[0][x], b = rows[1][x], r = rows[2][x];
            } else {
                const float luma = (rows[0][x] - lumaOffset) * lumaScale;
                const float cb = (rows[1][x] - chromaMid_) * chromaScale;
                const float cr = (rows[2][x] - chromaMid_) * chromaScale;
                r = luma + 2.0f * (1.0f - matrix_.kr) * cr;
                b = luma + 2.0f * (1.0f - matrix_.kb) * cb;
                g = (luma - matrix_.kr * r - matrix_.kb * b) / kg;
            }
            if (alpha_) {
                const float a = rows.back()[x];
                if (!premultiplied_)
                    r *= a, g *= a, b *= a;
                const int a8 = toByte(a);
                line[x] = qRgba(std::min(toByte(r), a8), std::min(toByte(g), a8), std::min(toByte(b), a8), a8);
            } else {
                line[x] = qRgb(toByte(r), toByte(g), toByte(b));
            }
        }
    }

private:
    heif_colorspace colorspace_;
    Matrix matrix_;
    float chromaMid_;
    bool alpha_;
    bool premultiplied_;
};

ImagePtr decode(const heif_image_handle *handle, heif_colorspace colorspace, heif_chroma chroma, bool turned)
{
    heif_image *image = nullptr;
    heif_decoding_options *options = heif_decoding_options_alloc();
    options->ignore_transformations = !turned;
    const heif_error error = heif_decode_image(handle, &image, colorspace, chroma, options);
    heif_decoding_options_free(options);
    if (error.code != heif_error_Ok && image) {
        heif_image_release(image);
        image = nullptr;
    }
    return ImagePtr(image, heif_image_release);
}

// In the layout libheif holds it in: a coded picture in its own planes, a grid that libheif
// puts together as the planar RGB it does that in. Any other layout is another full-size copy.
// A grid's tiles are decoded unturned: some writers give each tile the grid's own turns too.
ImagePtr DecodeInOwnLayout(const heif_image_handle *handle, bool turned)
{
    ImagePtr decoded = decode(handle, heif_colorspace_undefined, heif_chroma_undefined, turned);
    if (decoded && heif_image_get_colorspace(decoded.get()) == heif_colorspace_RGB && heif_image_get_chroma_format(decoded.get()) != heif_chroma_444)
        decoded = decode(handle, heif_colorspace_RGB, heif_chroma_444, turned);
    return decoded;
}

} // namespace

HeifImageHandler::Source &HeifImageHandler::From(void *source)
{
    return *static_cast<Source *>(source);
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

bool HeifImageHandler::Open(heif_context *context, Source &source)
{
    // libheif reads the boxes it needs and a picture's data when it decodes it, straight from
    // the device, so the file is never held whole beside the decode.
    static const heif_reader reader = {
        1,
        [](void *source) -> int64_t { return From(source).position; },
        [](void *data, size_t size, void *source) {
            Source &from = From(source);
            const std::lock_guard turn(*from.turns);
            if (!from.device->seek(from.start + from.position) || from.device->read(static_cast<char *>(data), qint64(size)) != qint64(size))
                return 1;
            for (const HeifGrid::Patch &patch : from.patches)
                if (patch.at >= from.position && patch.at < from.position + qint64(size))
                    static_cast<char *>(data)[patch.at - from.position] = patch.value;
            from.position += qint64(size);
            return 0;
        },
        [](int64_t position, void *source) {
            From(source).position = position;
            return 0;
        },
        [](int64_t size, void *source) {
            const Source &from = From(source);
            const std::lock_guard turn(*from.turns);
            return from.start + size <= from.device->size() ? heif_reader_grow_status_size_reached : heif_reader_grow_status_size_beyond_eof;
        }};
    return heif_context_read_from_reader(context, &reader, &source, nullptr).code == heif_error_Ok;
}

bool HeifImageHandler::parse() const
{
    if (parsed_)
        return bool(primary_);
    parsed_ = true;
    if (!canRead(device()))
        return false;
    source_ = {device(), &deviceTurns_, device()->pos(), {}, 0};
    context_.reset(heif_context_alloc());
    heif_image_handle *handle = nullptr;
    if (!Open(context_.get(), source_) || heif_context_get_primary_image_handle(context_.get(), &handle).code != heif_error_Ok)
        return false;
    primary_.reset(handle);
    if (!heif_image_handle_has_alpha_channel(handle))
        grid_ = ReadHeifGrid(device(), source_.start);
    return true;
}

ImagePtr HeifImageHandler::decodeTile(int index) const
{
    Source source{device(), &deviceTurns_, source_.start, grid_->tileAsPrimary(index), 0};
    const std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(), heif_context_free);
    heif_image_handle *handle = nullptr;
    if (!Open(context.get(), source) || heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return {nullptr, heif_image_release};
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> tile(handle, heif_image_handle_release);
    // No tile is larger than the picture and the coding blocks it is padded to, turned or not.
    const QSize size(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
    if (qint64(size.width()) * size.height() > (grid_->size.width() + 128LL) * (grid_->size.height() + 128LL) || !DecodeFitsBudget(size, grid_->tileBytesPerPixel[size_t(index)]))
        return {nullptr, heif_image_release};
    return DecodeInOwnLayout(handle, false);
}

ImagePtr HeifImageHandler::decodeByLibheif() const
{
    // Its layout is not known before it is decoded: as many planes as libheif can give it.
    const int planes = heif_image_handle_has_alpha_channel(primary_.get()) ? 4 : 3;
    const QSize size(heif_image_handle_get_width(primary_.get()), heif_image_handle_get_height(primary_.get()));
    if (!DecodeFitsBudget(size, planes * (heif_image_handle_get_luma_bits_per_pixel(primary_.get()) > 8 ? 2 : 1)))
        return {nullptr, heif_image_release};
    return DecodeInOwnLayout(primary_.get(), true);
}

bool HeifImageHandler::read(QImage *image)
{
    if (!parse())
        return false;
    ImagePtr first = grid_ ? decodeTile(0) : decodeByLibheif();
    if (!first)
        return false;
    const heif_colorspace colorspace = heif_image_get_colorspace(first.get());
    std::vector<heif_channel> channels;
    if (colorspace == heif_colorspace_YCbCr)
        channels = {heif_channel_Y, heif_channel_Cb, heif_channel_Cr};
    else if (colorspace == heif_colorspace_monochrome)
        channels = {heif_channel_Y};
    else if (colorspace == heif_colorspace_RGB)
        channels = {heif_channel_R, heif_channel_G, heif_channel_B};
    else
        return false;
    const bool alpha = heif_image_has_channel(first.get(), heif_channel_Alpha);
    if (alpha)
        channels.push_back(heif_channel_Alpha);
    for (heif_channel channel : channels) {
        const int bits = heif_image_get_bits_per_pixel_range(first.get(), channel);
        if (!heif_image_has_channel(first.get(), channel) || heif_image_get_width(first.get(), channel) <= 0 || heif_image_get_height(first.get(), channel) <= 0 || bits < 1 || bits > 16)
            return false;
    }

    // A coded picture is one tile. A grid's tiles cover it row by row; the last column and row
    // may overhang its right and bottom edges, by less than a tile.
    const QSize tile(heif_image_get_width(first.get(), channels[0]), heif_image_get_height(first.get(), channels[0]));
    const QSize full = grid_ ? grid_->size : tile;
    const int count = grid_ ? int(grid_->tiles.size()) : 1;
    const int columns = int((qint64(full.width()) + tile.width() - 1) / tile.width());
    const int tileRows = count / columns;
    if (columns * tileRows != count || qint64(tileRows) * tile.height() < full.height() || qint64(tileRows - 1) * tile.height() >= full.height())
        return false;
    // libheif turns what it puts together itself; a grid is turned here, once it is small.
    const std::vector<HeifGrid::Transform> transforms = grid_ ? grid_->transforms : std::vector<HeifGrid::Transform>();
    int quarterTurns = 0;
    for (const HeifGrid::Transform &transform : transforms)
        quarterTurns += transform.quarterTurns;
    // The scaled size is asked for as the picture is shown, after its turns.
    const bool transposed = quarterTurns % 2 == 1;
    QSize out = scaledSize_.isValid() ? scaledSize_.boundedTo(transposed ? full.transposed() : full) : full;
    if (scaledSize_.isValid() && transposed)
        out.transpose();
    QImage result;
    if (!QImageIOHandler::allocateImage(out, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32, &result))
        return false;

    std::vector<Plane> planes;
    for (heif_channel channel : channels)
        planes.push_back(planeOf(first.get(), channel, tile, full, out));
    const RowConverter converter(colorspace, matrixOf(first.get()), planes.size() > 1 ? planes[1].mid : 0.5f, alpha, heif_image_handle_is_premultiplied_alpha(primary_.get()));
    TileRows tiles(columns, std::move(first), [&](int index) {
        ImagePtr decoded = decodeTile(index);
        const bool same = decoded && heif_image_get_colorspace(decoded.get()) == colorspace
                          && std::all_of(planes.begin(), planes.end(), [&](const Plane &plane) { return plane.matches(decoded.get()); });
        return same ? std::move(decoded) : ImagePtr(nullptr, heif_image_release);
    });
    std::vector<std::vector<float>> rows(planes.size(), std::vector<float>(size_t(out.width())));
    for (int y = 0; y < out.height(); ++y) {
        int firstRow = tileRows, lastRow = 0;
        for (const Plane &plane : planes) {
            const auto [y0, y1] = plane.cellRows(y, out.height());
            firstRow = std::min(firstRow, y0 / plane.tileHeight);
            lastRow = std::max(lastRow, (y1 - 1) / plane.tileHeight);
        }
        if (!tiles.hold(firstRow, lastRow))
            return false;
        for (size_t p = 0; p < planes.size(); ++p)
            reduceRow(planes[p], tiles, columns, y, out, rows[p]);
        converter.convert(rows, reinterpret_cast<QRgb *>(result.scanLine(y)));
    }
    for (const HeifGrid::Transform &transform : transforms)
        result = transform.mirrorAxis < 0 ? result.transformed(QTransform().rotate(-90.0 * transform.quarterTurns)) : result.mirrored(transform.mirrorAxis == 1, transform.mirrorAxis == 0);
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
