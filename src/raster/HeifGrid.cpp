#include "raster/HeifGrid.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <limits>
#include <map>

namespace {

// Item lists and properties only: a picture's data is never in the meta box.
constexpr qint64 MaxMetaBytes = 16 << 20;

// Big-endian numbers from one box's bytes; a read past its end fails the whole reading.
struct Bytes
{
    const QByteArray &data;
    qsizetype at;
    qsizetype end;
    bool failed = false;

    quint64 take(int bytes)
    {
        quint64 value = 0;
        if (at + bytes > end) {
            failed = true;
            return 0;
        }
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | quint8(data[at++]);
        return value;
    }
};

struct Box
{
    QByteArray type;
    qsizetype body;
    qsizetype end;
};

// The boxes laid one after another from `from` to `to`; none when one of them overruns.
std::vector<Box> Children(const QByteArray &data, qsizetype from, qsizetype to)
{
    std::vector<Box> boxes;
    while (from < to) {
        Bytes header{data, from, to};
        quint64 size = header.take(4);
        const QByteArray type = data.mid(header.at, 4);
        header.take(4);
        if (size == 1)
            size = header.take(8);
        else if (size == 0)
            size = quint64(to - from);
        if (header.failed || size < quint64(header.at - from) || size > quint64(to - from))
            return {};
        boxes.push_back({type, header.at, from + qsizetype(size)});
        from += qsizetype(size);
    }
    return boxes;
}

// The top-level `meta` box, read whole, and where it starts.
std::pair<QByteArray, qint64> MetaBox(QIODevice *device, qint64 start)
{
    for (qint64 at = 0; device->seek(start + at);) {
        const QByteArray header = device->read(16);
        quint64 size = header.size() >= 8 ? Bytes{header, 0, 4}.take(4) : 0;
        if (size == 1)
            size = Bytes{header, 8, header.size()}.take(8);
        if (size < 8 || size > quint64(std::numeric_limits<qint64>::max() - at))
            return {};
        if (header.mid(4, 4) == "meta") {
            if (size > quint64(MaxMetaBytes) || !device->seek(start + at))
                return {};
            const QByteArray meta = device->read(qint64(size));
            return {meta.size() == qsizetype(size) ? meta : QByteArray(), at};
        }
        at += qint64(size);
    }
    return {};
}

// A full box's version and flags, and a reader of what follows them.
struct FullBox
{
    int version;
    int flags;
    Bytes in;
};

FullBox Full(const QByteArray &data, const Box &box)
{
    Bytes head{data, box.body, box.end};
    const int version = int(head.take(1));
    const int flags = int(head.take(3));
    return {version, flags, Bytes{data, box.body + 4, box.end, head.failed}};
}

// What decoding a coded picture holds a pixel, from its decoder configuration; where libheif
// decodes it, it converts it into three full planes, or one for grey.
std::optional<double> ConfiguredDecodeBytes(const QByteArray &data, const Box &configuration, bool convertedByLibheif)
{
    Bytes in{data, configuration.body, configuration.end};
    double colourPlanes = 0;
    int bits = 8;
    if (configuration.type == "hvcC") {
        in.take(16);
        colourPlanes = ColourPlanes[in.take(1) & 3]; // chroma_format_idc
        bits = 8 + int(in.take(1) & 7);
    } else if (configuration.type == "av1C") {
        in.take(2);
        const auto flags = int(in.take(1));
        bits = flags & 0x40 ? (flags & 0x20 ? 12 : 10) : 8;
        colourPlanes = flags & 0x10 ? 0.0 : 2.0 / ((flags & 0x08 ? 2 : 1) * (flags & 0x04 ? 2 : 1));
    } else {
        return std::nullopt;
    }
    if (in.failed)
        return std::nullopt;
    return DecodeBytesPerPixel(1 + colourPlanes, convertedByLibheif ? (colourPlanes > 0 ? 3 : 1) : 0, bits);
}

// The parameter sets of an `hvcC` and the size of the length before each NAL unit of the data,
// or the OBUs that follow the four bytes of an `av1C`.
std::optional<HeifGrid::CodedTile> CodedConfiguration(const QByteArray &data, const Box &configuration)
{
    Bytes in{data, configuration.body, configuration.end};
    HeifGrid::CodedTile tile;
    if (configuration.type == "av1C") {
        tile.codec = HeifGrid::CodedTile::Codec::Av1;
        in.take(4);
        if (in.failed)
            return std::nullopt;
        if (in.at < in.end)
            tile.parameterSets.push_back(data.mid(in.at, in.end - in.at));
        return tile;
    }
    in.take(21);
    tile.lengthBytes = int(in.take(1) & 3) + 1;
    for (int arrays = int(in.take(1)); arrays > 0 && !in.failed; --arrays) {
        in.take(1);
        for (int units = int(in.take(2)); units > 0 && !in.failed; --units) {
            const auto bytes = qsizetype(in.take(2));
            tile.parameterSets.push_back(data.mid(in.at, bytes));
            in.failed |= in.at + bytes > in.end;
            in.at += bytes;
        }
    }
    return in.failed ? std::nullopt : std::optional(tile);
}

// The size an `ispe` gives. No camera's picture is wider or higher than a 16-bit grid
// descriptor can say.
std::optional<QSize> ImageSize(const QByteArray &data, const Box &property)
{
    Bytes in{data, property.body, property.end};
    in.take(4); // version and flags
    const quint64 width = in.take(4), height = in.take(4);
    if (in.failed || width > 0xffff || height > 0xffff)
        return std::nullopt;
    return QSize(int(width), int(height));
}

struct Item
{
    QByteArray type;
    qsizetype flagsAt = 0;
    std::vector<HeifGrid::Extent> extents; // in the file itself, from `iloc`
};

} // namespace

double DecodeBytesPerPixel(double decodedPlanes, double convertedPlanes, int bits)
{
    return (decodedPlanes + convertedPlanes) * (bits > 8 ? 2 : 1) + 2.5;
}

bool DecodeFitsBudget(QSize size, double decodeBytesPerPixel)
{
    // Measured in the program's 4K show: its own surfaces and the fitted result take about 170 MB
    // beside a decode's, whose bookkeeping came to 2.25 bytes a pixel for a noisy 67 MP HEIC.
    constexpr double BudgetBytes = 200 << 20;
    return double(size.width()) * size.height() * decodeBytesPerPixel <= BudgetBytes;
}

std::vector<HeifGrid::Patch> HeifGrid::tileAsPrimary(int index) const
{
    std::vector<Patch> patches;
    for (int b = 0; b < primaryIdBytes; ++b)
        patches.push_back({primaryIdAt + b, char(tiles[size_t(index)] >> (8 * (primaryIdBytes - 1 - b)))});
    patches.push_back(shownFlags[size_t(index)]);
    return patches;
}

std::optional<HeifGrid> ReadHeifGrid(QIODevice *device, qint64 start)
{
    const qint64 position = device->pos();
    const auto [meta, metaAt] = MetaBox(device, start);
    device->seek(position);
    const std::vector<Box> top = Children(meta, 0, meta.size());
    if (top.size() != 1)
        return std::nullopt;

    HeifGrid grid;
    std::optional<quint32> primary;
    std::map<quint32, Item> items;
    std::map<quint32, std::vector<quint32>> derivedFrom;
    std::vector<Box> properties;
    std::map<quint32, std::vector<quint32>> associations;
    bool failed = false;
    for (const Box &box : Children(meta, top[0].body + 4, meta.size())) {
        auto [version, flags, in] = Full(meta, box);
        if (box.type == "pitm") {
            grid.primaryIdBytes = version == 0 ? 2 : 4;
            grid.primaryIdAt = metaAt + in.at;
            primary = quint32(in.take(grid.primaryIdBytes));
        } else if (box.type == "iinf") {
            in.take(version == 0 ? 2 : 4);
            for (const Box &entry : Children(meta, in.at, box.end)) {
                auto [infoVersion, infoFlags, info] = Full(meta, entry);
                if (entry.type != "infe" || infoVersion < 2)
                    continue;
                const auto id = quint32(info.take(infoVersion == 2 ? 2 : 4));
                info.take(2);
                Item &item = items[id];
                item.type = meta.mid(info.at, 4);
                item.flagsAt = entry.body + 3;
                info.take(4);
                failed |= info.failed;
            }
        } else if (box.type == "iref") {
            for (const Box &reference : Children(meta, in.at, box.end)) {
                Bytes ids{meta, reference.body, reference.end};
                const auto from = quint32(ids.take(version == 0 ? 2 : 4));
                for (int count = int(ids.take(2)); count > 0 && !ids.failed; --count)
                    if (const auto to = quint32(ids.take(version == 0 ? 2 : 4)); reference.type == "dimg")
                        derivedFrom[from].push_back(to);
                failed |= ids.failed;
            }
        } else if (box.type == "iloc") {
            const auto sizes = int(in.take(2));
            const int offsetBytes = sizes >> 12, lengthBytes = sizes >> 8 & 15, baseBytes = sizes >> 4 & 15;
            const int indexBytes = version > 0 ? sizes & 15 : 0;
            failed |= std::max({offsetBytes, lengthBytes, baseBytes, indexBytes}) > 8;
            for (quint64 count = in.take(version < 2 ? 2 : 4); count > 0 && !in.failed && !failed; --count) {
                const auto id = quint32(in.take(version < 2 ? 2 : 4));
                // Data in the meta box or in another file is left to libheif, as is any
                // extent that reads to the end of the file or past what a file can hold.
                bool inFile = (version > 0 ? in.take(2) & 15 : 0) == 0;
                inFile &= in.take(2) == 0;
                const quint64 base = in.take(baseBytes);
                std::vector<HeifGrid::Extent> extents;
                for (int n = int(in.take(2)); n > 0 && !in.failed; --n) {
                    in.take(indexBytes);
                    const quint64 offset = base + in.take(offsetBytes), length = in.take(lengthBytes);
                    inFile &= length > 0 && offset < (1ULL << 62) && length < (1ULL << 31);
                    extents.push_back({qint64(offset), qint64(length)});
                }
                if (inFile)
                    items[id].extents = std::move(extents);
            }
        } else if (box.type == "iprp") {
            for (const Box &part : Children(meta, box.body, box.end)) {
                if (part.type == "ipco")
                    properties = Children(meta, part.body, part.end);
                if (part.type != "ipma")
                    continue;
                auto [mapVersion, mapFlags, map] = Full(meta, part);
                const bool wide = mapFlags & 1;
                for (quint64 entries = map.take(4); entries > 0 && !map.failed; --entries) {
                    std::vector<quint32> &indices = associations[quint32(map.take(mapVersion < 1 ? 2 : 4))];
                    for (int n = int(map.take(1)); n > 0 && !map.failed; --n)
                        indices.push_back(quint32(map.take(wide ? 2 : 1) & (wide ? 0x7fff : 0x7f)));
                }
                failed |= map.failed;
            }
        }
        failed |= in.failed;
    }
    if (failed || !primary)
        return std::nullopt;
    const QByteArray &primaryType = items[*primary].type;
    if (primaryType == "grid")
        grid.tiles = derivedFrom[*primary];
    else if (primaryType == "hvc1" || primaryType == "av01")
        grid.tiles = {*primary};
    else
        return std::nullopt;

    for (quint32 index : associations[*primary]) {
        if (index == 0 || index > properties.size())
            return std::nullopt;
        const Box &property = properties[index - 1];
        Bytes in{meta, property.body, property.end};
        if (property.type == "ispe") {
            const std::optional<QSize> size = ImageSize(meta, property);
            if (!size)
                return std::nullopt;
            grid.size = *size;
        } else if (property.type == "irot") {
            grid.transforms.push_back({int(in.take(1) & 3), -1});
        } else if (property.type == "imir") {
            grid.transforms.push_back({0, int(in.take(1) & 1)});
        } else if (property.type == "clap") {
            return std::nullopt; // a cropped grid is left to libheif
        }
        if (in.failed)
            return std::nullopt;
    }
    for (quint32 tile : grid.tiles) {
        const auto item = items.find(tile);
        if (item == items.end() || (item->second.type != "hvc1" && item->second.type != "av01") || (grid.primaryIdBytes == 2 && tile > 0xffff))
            return std::nullopt;
        grid.shownFlags.push_back({metaAt + item->second.flagsAt, char(meta[item->second.flagsAt] & ~1)});
        const Box *configuration = nullptr;
        QSize size;
        std::optional<std::pair<int, bool>> colours;
        for (quint32 index : associations[tile]) {
            if (index == 0 || index > properties.size())
                continue;
            const Box &property = properties[index - 1];
            Bytes in{meta, property.body, property.end};
            if (!configuration && (property.type == "hvcC" || property.type == "av1C"))
                configuration = &property;
            if (property.type == "ispe") {
                size = ImageSize(meta, property).value_or(QSize());
            } else if (property.type == "colr" && in.take(4) == 0x6e636c78) { // "nclx"
                in.take(4); // the primaries and the transfer characteristics
                const auto matrix = int(in.take(2));
                const bool fullRange = in.take(1) & 0x80;
                if (!in.failed)
                    colours = {matrix, fullRange};
            }
        }
        if (!configuration)
            return std::nullopt;
        std::optional<HeifGrid::CodedTile> coded;
        if (!item->second.extents.empty() && !size.isEmpty())
            coded = CodedConfiguration(meta, *configuration);
        const std::optional<double> bytes = ConfiguredDecodeBytes(meta, *configuration, !coded);
        if (!bytes)
            return std::nullopt;
        grid.tileDecodeBytesPerPixel.push_back(*bytes);
        if (coded) {
            coded->extents = item->second.extents;
            coded->size = size;
            coded->colours = colours;
        }
        grid.codedTiles.push_back(std::move(coded));
    }
    if (grid.tiles.empty() || grid.size.isEmpty())
        return std::nullopt;
    return grid;
}
