#pragma once

#include "raster/ColorValue.h"
#include "settings/SettingsDoc.h"

// The three settings the show takes from the setup dialog's controls, so a preview
// shows choices that were not applied yet.
class ShowChoices
{
public:
    virtual ~ShowChoices() = default;
    [[nodiscard]] virtual ColorValue backgroundColor() = 0;
    [[nodiscard]] virtual bool randomTransitions() = 0;
    [[nodiscard]] virtual ImageSize imageSize() = 0;
};
