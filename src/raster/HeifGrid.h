#pragma once

#include <QByteArray>
#include <QSize>
#include <QtGlobal>

#include <optional>
#include <vector>

class QIODevice;

// A HEIF picture stored as a grid of tiles, the way phones store large pictures, as its boxes
// describe it; a single coded picture is a grid of one tile. libheif 1.15 puts a grid together
// in a full-size planar RGB canvas and offers no handle on the tiles, so the program decodes
// each tile as the file's primary picture: it reads the file with the item id in `pitm` changed
// to the tile's and the tile's "hidden" flag cleared.
struct HeifGrid
{
    // One of the picture's own turns, in the order the file lists them.
    struct Transform
    {
        int quarterTurns = 0; // anticlockwise, from `irot`
        int mirrorAxis = -1;  // from `imir`, as libheif reads it: 0 flips top and bottom
    };
    // A byte of the file as a tile's decode reads it.
    struct Patch
    {
        qint64 at = 0;
        char value = 0;
    };

    QSize size; // the tiles put together, before the turns
    std::vector<quint32> tiles; // row by row
    std::vector<double> tileBytesPerPixel; // of each tile's decoded planes
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

// Whether decoding a picture `size` big whose planes take `bytesPerPixel` keeps a 4K show near
// 400 MB at most, beside its screen-sized surfaces. A grid's tiles are far below the budget; a
// 50 MP picture as heif-enc writes it, one coded picture in 8-bit 4:2:0, is just within it.
[[nodiscard]] bool DecodeFitsBudget(QSize size, double bytesPerPixel);
