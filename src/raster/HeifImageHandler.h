#pragma once

#include <QImageIOHandler>
#include <QSize>
#include <memory>

struct heif_context;
struct heif_image_handle;

// Reads the primary picture of a HEIC, HEIF or AVIF file through libheif, upright (its own
// rotation and mirroring applied), in 8 bits per channel. With a scaled size it reduces
// while converting, so the full-size picture exists only in libheif's own layout.
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

    // Where libheif reads: the device, from where the picture starts in it.
    struct Source
    {
        QIODevice *device = nullptr;
        qint64 start = 0;
    };
    [[nodiscard]] static const Source &From(const void *source);

    mutable Source source_;
    mutable std::unique_ptr<heif_context, void (*)(heif_context *)> context_;
    mutable std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> primary_;
    mutable bool parsed_ = false;
    QSize scaledSize_;
};
