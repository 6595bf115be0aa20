#pragma once

#include <QImageIOPlugin>

// Built into the program, so QImageReader reads HEIC, HEIF and AVIF like any format of its own.
class HeifImagePlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "HeifImagePlugin.json")

public:
    [[nodiscard]] Capabilities capabilities(QIODevice *device, const QByteArray &format) const override;
    [[nodiscard]] QImageIOHandler *create(QIODevice *device, const QByteArray &format = QByteArray()) const override;
};
