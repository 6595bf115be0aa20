#include "raster/HeifImagePlugin.h"

#include "raster/HeifImageHandler.h"

QImageIOPlugin::Capabilities HeifImagePlugin::capabilities(QIODevice *device, const QByteArray &format) const
{
    if (format == "heic" || format == "heif" || format == "avif")
        return CanRead;
    // A reader that was told no format asks each plugin about the content.
    if (format.isEmpty() && device && device->isReadable() && HeifImageHandler::canRead(device))
        return CanRead;
    return {};
}

QImageIOHandler *HeifImagePlugin::create(QIODevice *device, const QByteArray &format) const
{
    auto *handler = new HeifImageHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
