#include "raster/HeifImageHandler.h"

#include <QImage>
#include <QIODevice>
#include <QTransform>
#include <QVariant>
#include <dav1d/dav1d.h>
#include <libde265/de265.h>
#include <libheif/heif.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Luma and colour-difference weights of the decoded planes' matrix; BT.601 where none is given.
struct Matrix
{
    float kr = 0.299f;
    float kb = 0.114f;
    bool identity = false; // the planes hold G, B, R
    bool fullRange = true;
};

// The matrix that H.273's code for it names.
Matrix MatrixOf(int coefficients, bool fullRange)
{
    Matrix matrix;
    matrix.fullRange = fullRange;
    switch (coefficients) {
    case heif_matrix_coefficients_RGB_GBR: matrix.identity = true; break;
    case heif_matrix_coefficients_ITU_R_BT_709_5: matrix.kr = 0.2126f; matrix.kb = 0.0722f; break;
    case heif_matrix_coefficients_ITU_R_BT_2020_2_non_constant_luminance:
    case heif_matrix_coefficients_ITU_R_BT_2020_2_constant_luminance: matrix.kr = 0.2627f; matrix.kb = 0.0593f; break;
    case heif_matrix_coefficients_SMPTE_240M: matrix.kr = 0.212f; matrix.kb = 0.087f; break;
    default: break;
    }
    return matrix;
}

// What an image's nclx profile says, when libheif has one to give.
std::optional<Matrix> NclxMatrix(const heif_image *image)
{
    heif_color_profile_nclx *nclx = nullptr;
    if (heif_image_get_nclx_color_profile(image, &nclx).code != heif_error_Ok || !nclx)
        return std::nullopt;
    const Matrix matrix = MatrixOf(nclx->matrix_coefficients, nclx->full_range_flag != 0);
    heif_nclx_color_profile_free(nclx);
    return matrix;
}

} // namespace

// A decoded tile's planes, whichever decoder made them, and what keeps them. The handler's
// header names it, so it lives outside the file's own namespace.
struct HeifTile
{
    struct Samples
    {
        const uint8_t *data = nullptr;
        int stride = 0; // in bytes
        int width = 0;
        int height = 0;
        int bits = 0;
    };
    heif_colorspace colorspace = heif_colorspace_undefined;
    std::map<heif_channel, Samples> planes;
    Matrix matrix;
    std::shared_ptr<const void> keeps;

    [[nodiscard]] const Samples *plane(heif_channel channel) const
    {
        const auto found = planes.find(channel);
        return found == planes.end() ? nullptr : &found->second;
    }
};
using Tile = std::optional<HeifTile>;

namespace {

using ImagePtr = std::unique_ptr<heif_image, void (*)(const heif_image *)>;

// Only the decoded image's own profile describes its planes; without one they are read as
// libheif reads them, in full-range BT.601.
Tile FromLibheif(ImagePtr image)
{
    if (!image)
        return std::nullopt;
    HeifTile tile;
    tile.colorspace = heif_image_get_colorspace(image.get());
    for (heif_channel channel : {heif_channel_Y, heif_channel_Cb, heif_channel_Cr, heif_channel_R, heif_channel_G, heif_channel_B, heif_channel_Alpha}) {
        if (!heif_image_has_channel(image.get(), channel))
            continue;
        HeifTile::Samples &samples = tile.planes[channel];
        samples.data = heif_image_get_plane_readonly(image.get(), channel, &samples.stride);
        samples.width = heif_image_get_width(image.get(), channel);
        samples.height = heif_image_get_height(image.get(), channel);
        samples.bits = heif_image_get_bits_per_pixel_range(image.get(), channel);
    }
    tile.matrix = NclxMatrix(image.get()).value_or(Matrix());
    tile.keeps = std::shared_ptr<const heif_image>(image.release(), heif_image_release);
    return tile;
}

// What an HEVC sequence parameter set says the decoder will allocate, read past its profile,
// tier and level; none for any other NAL unit. A set cut short says far too much.
struct SequenceLayout
{
    QSize size; // in luma samples
    int chromaFormat = 0; // chroma_format_idc
    int bits = 8; // the deeper of luma and chroma
};

std::optional<SequenceLayout> ReadSequence(const char *nal, qsizetype bytes)
{
    if (bytes < 2 || (quint8(nal[0]) >> 1 & 0x3f) != 33)
        return std::nullopt;
    // Its bits without the bytes that keep start codes out of them; what is read comes within 100.
    std::vector<quint8> bits;
    for (qsizetype i = 2, zeros = 0; i < bytes && bits.size() < 256; ++i) {
        const auto byte = quint8(nal[i]);
        if (zeros >= 2 && byte == 3) {
            zeros = 0;
            continue;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        bits.push_back(byte);
    }
    size_t at = 0;
    const auto bit = [&] {
        const bool set = at / 8 < bits.size() && (bits[at / 8] >> (7 - at % 8) & 1);
        ++at;
        return set;
    };
    const auto golomb = [&] {
        int zeros = 0;
        while (!bit() && zeros < 32)
            ++zeros;
        quint64 value = 1;
        for (int b = 0; b < zeros; ++b)
            value = value << 1 | quint64(bit());
        return value - 1;
    };
    const auto capped = [](quint64 value) { return int(std::min<quint64>(value, 1 << 30)); };
    at += 4; // the parameter set's id
    int subLayers = 0;
    for (int b = 0; b < 3; ++b)
        subLayers = subLayers << 1 | int(bit());
    at += 1 + 96; // the nesting flag, the profile, tier and level of the whole stream
    std::vector<std::pair<bool, bool>> present(static_cast<size_t>(subLayers));
    for (auto &[profile, level] : present)
        profile = bit(), level = bit();
    if (subLayers > 0)
        at += 2 * size_t(8 - subLayers);
    for (const auto &[profile, level] : present)
        at += (profile ? 88 : 0) + (level ? 8 : 0);
    golomb(); // its own id
    SequenceLayout layout;
    layout.chromaFormat = capped(golomb());
    if (layout.chromaFormat == 3)
        bit(); // colour planes coded apart
    const int width = capped(golomb());
    layout.size = QSize(width, capped(golomb()));
    if (bit()) // the conformance window
        for (int side = 0; side < 4; ++side)
            golomb();
    const int lumaBits = capped(golomb()) + 8;
    layout.bits = std::max(lumaBits, capped(golomb()) + 8);
    return layout;
}

// Decodes an HEVC tile with libde265 from its data: libheif's decode would convert it into
// full-size RGB planes beside the decoder's. The tile's own `colr` describes its colours where
// it has one, else its stream does.
Tile DecodeHevc(QByteArray data, const HeifGrid::CodedTile &coded, int threads)
{
    std::shared_ptr<de265_decoder_context> decoder(de265_new_decoder(), de265_free_decoder);
    de265_decoder_context *const context = decoder.get();
    if (threads > 1)
        de265_start_worker_threads(context, threads);
    // A stream larger than the tile's declared size and the coding blocks it is padded to, or
    // deeper or fuller in colour than its configuration said and so over the budget, is
    // refused before the decoder allocates its planes.
    const auto push = [&](const char *nal, qsizetype bytes) {
        const std::optional<SequenceLayout> sequence = ReadSequence(nal, bytes);
        const bool allowed = !sequence
                             || (sequence->size.width() <= coded.size.width() + 64 && sequence->size.height() <= coded.size.height() + 64 && sequence->chromaFormat < 4
                                 && DecodeFitsBudget(sequence->size, DecodeBytesPerPixel(1 + ColourPlanes[size_t(sequence->chromaFormat)], 0, sequence->bits)));
        return allowed && de265_isOK(de265_push_NAL(context, nal, int(bytes), 0, nullptr));
    };
    for (const QByteArray &set : coded.parameterSets)
        if (!push(set.constData(), set.size()))
            return std::nullopt;
    for (qsizetype at = 0; at < data.size();) {
        if (coded.lengthBytes > data.size() - at)
            return std::nullopt;
        qsizetype length = 0;
        for (int b = 0; b < coded.lengthBytes; ++b)
            length = length << 8 | quint8(data[at++]);
        if (length > data.size() - at || length > std::numeric_limits<int>::max() || !push(data.constData() + at, length))
            return std::nullopt;
        at += length;
    }
    data = QByteArray(); // the decoder holds its own copy
    de265_flush_data(context);
    const de265_image *image = nullptr;
    for (int more = 1; more && !image;) {
        if (!de265_isOK(de265_decode(context, &more)))
            return std::nullopt;
        image = de265_get_next_picture(context);
    }
    if (!image)
        return std::nullopt;
    HeifTile tile;
    const bool mono = de265_get_chroma_format(image) == de265_chroma_mono;
    tile.colorspace = mono ? heif_colorspace_monochrome : heif_colorspace_YCbCr;
    for (int c = 0; c < (mono ? 1 : 3); ++c) {
        HeifTile::Samples &samples = tile.planes[std::array{heif_channel_Y, heif_channel_Cb, heif_channel_Cr}[size_t(c)]];
        samples.data = de265_get_image_plane(image, c, &samples.stride);
        samples.width = de265_get_image_width(image, c);
        samples.height = de265_get_image_height(image, c);
        samples.bits = de265_get_bits_per_pixel(image, c);
    }
    const auto [coefficients, fullRange] = coded.colours.value_or(std::pair(de265_get_image_matrix_coefficients(image), de265_get_image_full_range_flag(image) != 0));
    tile.matrix = MatrixOf(coefficients, fullRange);
    tile.keeps = std::move(decoder);
    return tile;
}

// What dav1d holds for a decoded AV1 tile: the picture, and the decoder its planes come from.
struct Av1Decode
{
    Dav1dContext *context = nullptr;
    Dav1dPicture picture{};

    Av1Decode() = default;
    Av1Decode(const Av1Decode &) = delete;
    Av1Decode &operator=(const Av1Decode &) = delete;
    ~Av1Decode()
    {
        dav1d_picture_unref(&picture);
        dav1d_close(&context);
    }
};

// Decodes an AV1 tile with dav1d from its data, for the reason the HEVC decode does. Every
// sequence header is read before dav1d sees it, and a stream larger than the tile's declared
// size, or over the budget by its own layout and film grain, is refused before a plane exists.
Tile DecodeAv1(QByteArray data, const HeifGrid::CodedTile &coded, int threads)
{
    const auto decode = std::make_shared<Av1Decode>();
    Dav1dSettings settings;
    dav1d_default_settings(&settings);
    settings.n_threads = std::max(1, threads);
    settings.max_frame_delay = 1; // one picture: nothing to decode ahead
    settings.all_layers = 0;      // only the best of a scalable stream's layers
    settings.logger.callback = nullptr; // a broken file is refused, not reported on the terminal
    if (dav1d_open(&decode->context, &settings) < 0)
        return std::nullopt;
    const auto allowed = [&](const QByteArray &obus) {
        Dav1dSequenceHeader sequence{};
        const int parsed = dav1d_parse_sequence_header(&sequence, reinterpret_cast<const uint8_t *>(obus.constData()), size_t(obus.size()));
        if (parsed != 0)
            return parsed == DAV1D_ERR(ENOENT);
        // Film grain is laid on a second picture.
        const double planes = (1 + ColourPlanes[size_t(sequence.layout) & 3]) * (sequence.film_grain_present ? 2 : 1);
        return sequence.max_width <= coded.size.width() + 64 && sequence.max_height <= coded.size.height() + 64
               && DecodeFitsBudget(QSize(sequence.max_width, sequence.max_height), DecodeBytesPerPixel(planes, 0, 8 + 2 * sequence.hbd));
    };
    bool got = false;
    // dav1d takes each run of OBUs as it is, and lets go of it once decoded.
    const auto send = [&](QByteArray obus) {
        if (!allowed(obus))
            return false;
        auto *held = new QByteArray(std::move(obus));
        Dav1dData packet{};
        if (dav1d_data_wrap(&packet, reinterpret_cast<const uint8_t *>(held->constData()), size_t(held->size()),
                            [](const uint8_t *, void *bytes) { delete static_cast<QByteArray *>(bytes); }, held) < 0) {
            delete held;
            return false;
        }
        while (packet.sz > 0) {
            const int sent = dav1d_send_data(decode->context, &packet);
            // A picture waiting to be taken holds back the rest of the data; a second one is not shown.
            if ((sent < 0 && sent != DAV1D_ERR(EAGAIN)) || (sent == DAV1D_ERR(EAGAIN) && (got || dav1d_get_picture(decode->context, &decode->picture) < 0))) {
                dav1d_data_unref(&packet);
                return got;
            }
            got |= sent == DAV1D_ERR(EAGAIN);
        }
        return true;
    };
    for (const QByteArray &obus : coded.parameterSets)
        if (!send(obus))
            return std::nullopt;
    if (!send(std::move(data)) || (!got && dav1d_get_picture(decode->context, &decode->picture) < 0))
        return std::nullopt;
    const Dav1dPictureParameters &layout = decode->picture.p;
    HeifTile tile;
    const bool mono = layout.layout == DAV1D_PIXEL_LAYOUT_I400;
    tile.colorspace = mono ? heif_colorspace_monochrome : heif_colorspace_YCbCr;
    const int acrossShift = layout.layout == DAV1D_PIXEL_LAYOUT_I444 ? 0 : 1, downShift = layout.layout == DAV1D_PIXEL_LAYOUT_I420 ? 1 : 0;
    for (int c = 0; c < (mono ? 1 : 3); ++c) {
        HeifTile::Samples &samples = tile.planes[std::array{heif_channel_Y, heif_channel_Cb, heif_channel_Cr}[size_t(c)]];
        samples.data = static_cast<const uint8_t *>(decode->picture.data[c]);
        samples.stride = int(decode->picture.stride[c == 0 ? 0 : 1]);
        samples.width = c == 0 ? layout.w : (layout.w + acrossShift) >> acrossShift;
        samples.height = c == 0 ? layout.h : (layout.h + downShift) >> downShift;
        samples.bits = layout.bpc;
    }
    const Dav1dSequenceHeader &sequence = *decode->picture.seq_hdr;
    const auto [coefficients, fullRange] = coded.colours.value_or(std::pair(int(sequence.mtrx), sequence.color_range != 0));
    tile.matrix = MatrixOf(coefficients, fullRange);
    tile.keeps = decode;
    return tile;
}

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

    [[nodiscard]] bool matches(const HeifTile &tile) const
    {
        const HeifTile::Samples *samples = tile.plane(channel);
        return samples && samples->width == tileWidth && samples->height == tileHeight && samples->bits == bits;
    }
};

// One channel of a picture `picture` big in tiles like `tile`, whose first plane is `firstTile`
// big, averaged into `out` pixels.
Plane planeOf(const HeifTile::Samples &tile, heif_channel channel, QSize firstTile, QSize picture, QSize out)
{
    Plane plane;
    plane.channel = channel;
    plane.tileWidth = tile.width;
    plane.tileHeight = tile.height;
    // A subsampled plane covers the picture as it covers its tile.
    plane.width = int((qint64(picture.width()) * plane.tileWidth + firstTile.width() - 1) / firstTile.width());
    plane.height = int((qint64(picture.height()) * plane.tileHeight + firstTile.height() - 1) / firstTile.height());
    plane.bits = tile.bits;
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

// The tiles under the output rows being made: whole rows of tiles, decoded when they are first
// reached and dropped once passed.
class TileRows
{
public:
    TileRows(int columns, Tile first, std::function<Tile(int)> decode) : columns_(columns), decode_(std::move(decode)) { rows_[0].push_back(std::move(first)); }

    // Rows `first` to `last` are decoded and no earlier one is held; false when a tile fails.
    // A row's tiles decode on every core, as libheif decodes a grid.
    bool hold(int first, int last)
    {
        rows_.erase(rows_.begin(), rows_.lower_bound(first));
        for (int row = first; row <= last; ++row) {
            std::vector<Tile> &tiles = rows_[row];
            if (int(tiles.size()) == columns_)
                continue;
            std::atomic<int> next = int(tiles.size());
            tiles.resize(size_t(columns_));
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
            if (!std::all_of(tiles.begin(), tiles.end(), [](const Tile &tile) { return tile.has_value(); }))
                return false;
        }
        return true;
    }

    [[nodiscard]] const HeifTile &at(int column, int row) const { return *rows_.at(row)[size_t(column)]; }

private:
    int columns_;
    std::function<Tile(int)> decode_;
    std::map<int, std::vector<Tile>> rows_;
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
            const HeifTile::Samples &samples = *tiles.at(column, y / plane.tileHeight).plane(plane.channel);
            rowStarts[size_t(column)] = samples.data + qsizetype(y % plane.tileHeight) * samples.stride;
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

// In the layout libheif gives when none is asked for: one plane for grey, and for colour the
// planar RGB it converts a coded picture into and puts a grid together in. Any other layout is
// another full-size copy.
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

Tile HeifImageHandler::decodeTile(int index) const
{
    // No tile is larger than the picture and the coding blocks it is padded to, turned or not.
    const auto fits = [&](QSize size) {
        return qint64(size.width()) * size.height() <= (grid_->size.width() + 128LL) * (grid_->size.height() + 128LL)
               && DecodeFitsBudget(size, grid_->tileDecodeBytesPerPixel[size_t(index)]);
    };
    if (const std::optional<HeifGrid::CodedTile> &coded = grid_->codedTiles[size_t(index)]) {
        if (!fits(coded->size))
            return std::nullopt;
        // A picture of one tile has the decoder's threads; a grid's tiles each have a core.
        const int threads = grid_->tiles.size() == 1 ? int(std::thread::hardware_concurrency()) : 0;
        // The decode lets go of the data once its decoder holds it, so no copy stays here.
        QByteArray data = readData(coded->extents);
        return coded->codec == HeifGrid::CodedTile::Codec::Av1 ? DecodeAv1(std::move(data), *coded, threads) : DecodeHevc(std::move(data), *coded, threads);
    }
    Source source{device(), &deviceTurns_, source_.start, grid_->tileAsPrimary(index), 0};
    const std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(), heif_context_free);
    heif_image_handle *handle = nullptr;
    if (!Open(context.get(), source) || heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return std::nullopt;
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> tile(handle, heif_image_handle_release);
    if (!fits(QSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle))))
        return std::nullopt;
    return FromLibheif(DecodeInOwnLayout(handle, false));
}

QByteArray HeifImageHandler::readData(const std::vector<HeifGrid::Extent> &extents) const
{
    const std::lock_guard turn(deviceTurns_);
    const qint64 fileBytes = device()->size() - source_.start;
    QByteArray data;
    for (const auto &[offset, length] : extents) {
        const qsizetype at = data.size();
        if (offset > fileBytes - length || length > fileBytes - at || !device()->seek(source_.start + offset))
            return {};
        data.resize(at + qsizetype(length));
        if (device()->read(data.data() + at, length) != length)
            return {};
    }
    return data;
}

Tile HeifImageHandler::decodeByLibheif() const
{
    // Its layout is not known before it is decoded: as many full planes as libheif can give it,
    // each held by the decoder and again in libheif's conversion.
    const int planes = heif_image_handle_has_alpha_channel(primary_.get()) ? 4 : 3;
    const QSize size(heif_image_handle_get_width(primary_.get()), heif_image_handle_get_height(primary_.get()));
    if (!DecodeFitsBudget(size, DecodeBytesPerPixel(planes, planes, heif_image_handle_get_luma_bits_per_pixel(primary_.get()))))
        return std::nullopt;
    return FromLibheif(DecodeInOwnLayout(primary_.get(), true));
}

bool HeifImageHandler::read(QImage *image)
{
    if (!parse())
        return false;
    Tile first = grid_ ? decodeTile(0) : decodeByLibheif();
    if (!first)
        return false;
    const heif_colorspace colorspace = first->colorspace;
    std::vector<heif_channel> channels;
    if (colorspace == heif_colorspace_YCbCr)
        channels = {heif_channel_Y, heif_channel_Cb, heif_channel_Cr};
    else if (colorspace == heif_colorspace_monochrome)
        channels = {heif_channel_Y};
    else if (colorspace == heif_colorspace_RGB)
        channels = {heif_channel_R, heif_channel_G, heif_channel_B};
    else
        return false;
    const bool alpha = first->plane(heif_channel_Alpha) != nullptr;
    if (alpha)
        channels.push_back(heif_channel_Alpha);
    for (heif_channel channel : channels) {
        const HeifTile::Samples *samples = first->plane(channel);
        if (!samples || !samples->data || samples->width <= 0 || samples->height <= 0 || samples->bits < 1 || samples->bits > 16)
            return false;
    }

    // A coded picture is one tile. A grid's tiles cover it row by row; the last column and row
    // may overhang its right and bottom edges, by less than a tile.
    const QSize tile(first->plane(channels[0])->width, first->plane(channels[0])->height);
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
        planes.push_back(planeOf(*first->plane(channel), channel, tile, full, out));
    const RowConverter converter(colorspace, first->matrix, planes.size() > 1 ? planes[1].mid : 0.5f, alpha, heif_image_handle_is_premultiplied_alpha(primary_.get()));
    TileRows tiles(columns, std::move(first), [&](int index) {
        Tile decoded = decodeTile(index);
        const bool same = decoded && decoded->colorspace == colorspace
                          && std::all_of(planes.begin(), planes.end(), [&](const Plane &plane) { return plane.matches(*decoded); });
        return same ? std::move(decoded) : std::nullopt;
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
