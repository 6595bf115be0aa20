#pragma once

#include "raster/HeifGrid.h"

#include <QImageIOHandler>
#include <QSize>
#include <memory>
#include <mutex>

struct heif_context;
struct heif_image_handle;
struct HeifTile;

// Reads the primary picture of a HEIC, HEIF or AVIF file through libheif, upright (its own
// rotation and mirroring applied), in 8 bits per channel. With a scaled size it reduces
// while converting, so the full-size picture exists only in its decoder's own layout; a grid
// of tiles never exists in full at all: it is reduced from one or two rows of tiles at a time.
class HeifImageHandler : public QImageIOHandler
{
public:
    HeifImageHandler();
    ~HeifImageHandler() override;

    [[nodiscard]] static bool canRead(QIODevice *device);
    bool canRead() const override;
    bool read(QImage *image) override;
    [[nodiscard]] bool supportsOption(ImageOption option) const override;
    [[nodiscard]] QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;

private:
    // Opens the file with libheif once, on the first question about the picture.
    bool parse() const;

    // Tile `index` of the grid, in its decoder's own layout; none when it fails or is too large.
    [[nodiscard]] std::optional<HeifTile> decodeTile(int index) const;
    // The bytes of an item's extents, read in turn with the tiles' decodes; none past the file.
    [[nodiscard]] QByteArray readData(const std::vector<HeifGrid::Extent> &extents) const;
    // The primary picture put together and turned by libheif, when the program cannot read it
    // as a grid; none when it fails or is too large.
    [[nodiscard]] std::optional<HeifTile> decodeByLibheif() const;

    // Where libheif reads: the device, from where the picture starts in it, with the bytes
    // that a tile's decode reads changed. Tiles decode at once on several threads, each with
    // its own position, and take turns on the device.
    struct Source
    {
        QIODevice *device = nullptr;
        std::mutex *turns = nullptr;
        qint64 start = 0;
        std::vector<HeifGrid::Patch> patches;
        qint64 position = 0;
    };
    [[nodiscard]] static Source &From(void *source);
    [[nodiscard]] static bool Open(heif_context *context, Source &source);

    mutable std::mutex deviceTurns_;
    mutable Source source_;
    mutable std::optional<HeifGrid> grid_; // none when libheif puts the picture together: alpha, `clap`, other codecs
    mutable std::unique_ptr<heif_context, void (*)(heif_context *)> context_;
    mutable std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> primary_;
    mutable bool parsed_ = false;
    QSize scaledSize_;
};
