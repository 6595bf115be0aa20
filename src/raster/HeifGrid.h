#pragma once

#include <QByteArray>
#include <QSize>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

class QIODevice;

// A HEIF picture stored as a grid of tiles, the way phones store large pictures, as its boxes
// describe it; a single coded picture is a grid of one tile. libheif 1.15 puts a grid together
// in a full-size planar RGB canvas and offers no handle on the tiles, so the program decodes the
// tiles itself: a tile whose data lies in the file with libde265 (HEVC) or dav1d (AV1), straight
// from that data; any other through libheif, as the file's primary picture: libheif reads the
// file with the item id in `pitm` changed to the tile's and the tile's "hidden" flag cleared.
struct HeifGrid
{
    // One of the picture's own turns, in the order the file lists them.
    struct Transform
    {
        int quarterTurns = 0; // anticlockwise, from `irot`
        int mirrorAxis = -1;  // from `imir`, as libheif reads it: 0 flips top and bottom
    };
    // A run of an item's data, from the start of the file.
    struct Extent
    {
        qint64 offset = 0;
        qint64 length = 0;
    };
    // What the program's own decode of a tile reads, with no libheif: the parameter sets of its
    // `hvcC` and the size of the length before each of its NAL units, or the OBUs of its `av1C`;
    // where its data lies in the file, its size from `ispe`, and the matrix code and range flag
    // of its nclx `colr`, if any.
    struct CodedTile
    {
        enum class Codec { Hevc, Av1 } codec = Codec::Hevc;
        std::vector<QByteArray> parameterSets;
        int lengthBytes = 4;
        std::vector<Extent> extents;
        QSize size;
        std::optional<std::pair<int, bool>> colours;
    };
    // A byte of the file as a tile's decode reads it.
    struct Patch
    {
        qint64 at = 0;
        char value = 0;
    };

    QSize size; // the tiles put together, before the turns
    std::vector<quint32> tiles; // row by row
    std::vector<double> tileDecodeBytesPerPixel; // what each tile's decode holds, by the decoder that decodes it
    std::vector<std::optional<CodedTile>> codedTiles; // none for a tile that libheif decodes
    std::vector<Transform> transforms;

    // The bytes that make tile `index` the file's shown primary picture.
    [[nodiscard]] std::vector<Patch> tileAsPrimary(int index) const;

    qint64 primaryIdAt = 0; // offset of the big-endian id in `pitm`
    int primaryIdBytes = 2;
    std::vector<Patch> shownFlags; // per tile: the flag byte of its `infe`, "hidden" cleared
};

// The grid that the primary picture of the file starting at `start` is, if coded pictures make
// it and only `irot` and `imir` turn it; offsets are from `start`. The position is kept.
[[nodiscard]] std::optional<HeifGrid> ReadHeifGrid(QIODevice *device, qint64 start);

// What decoding a coded picture holds a pixel: the decoder's planes, luma and colour-difference
// planes counted in luma's size, and any planes libheif converts them into, of `bits` a sample;
// and about two and a half bytes of the decoder's bookkeeping and the picture's data.
[[nodiscard]] double DecodeBytesPerPixel(double decodedPlanes, double convertedPlanes, int bits);

// The colour-difference planes beside luma, in luma's size, of each HEVC chroma_format_idc and
// each of dav1d's pixel layouts, which number grey, 4:2:0, 4:2:2 and 4:4:4 alike.
inline constexpr std::array<double, 4> ColourPlanes{0.0, 0.5, 1.0, 2.0};

// Whether decoding a picture `size` big that holds `decodeBytesPerPixel` keeps a 4K show under
// 400 MB, beside its screen-sized surfaces. A grid's tiles are far below the budget; a 50 MP
// picture as heif-enc writes it, one coded picture in 8-bit 4:2:0, is just within it.
[[nodiscard]] bool DecodeFitsBudget(QSize size, double decodeBytesPerPixel);
