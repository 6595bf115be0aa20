#pragma once

#include "colorpick/ColorModel.h"
#include "colorpick/CustomColorsFile.h"
#include "raster/Pen.h"
#include "raster/Surface.h"

#include <QRect>
#include <QString>
#include <array>
#include <functional>

// The picker's drawing module: its shared state and everything drawn on the dialog's
// surface. Colours are read back from this surface, so it holds exactly the drawn pixels.
class modColorPick
{
public:
    static constexpr int ClientWidth = 434;
    static constexpr int ClientHeight = 277;
    static constexpr ColorValue BackColor = RGB(240, 240, 240);

    explicit modColorPick(QString customColorsPath);

    [[nodiscard]] Surface &surface() { return surface_; }
    [[nodiscard]] const Surface &surface() const { return surface_; }
    [[nodiscard]] Pen &pen() { return pen_; }
    [[nodiscard]] const QString &customColorsPath() const { return customColorsPath_; }

    // Right and bottom inclusive.
    PixelRect FieldRect;
    PixelRect SliderRect;
    int MarkerX = 0;
    int MarkerY = 0;
    float SliderY = 0;
    int SelectedCell = 1;
    // Index 0 is unused so that cell i is PaletteCells[i].
    std::array<PixelRect, PaletteCellCount + 1> PaletteCells{};
    CustomColorList CustomColors{};

    // The colour of the surface pixel nearest to (x, y).
    [[nodiscard]] ColorValue PixelAt(double x, double y) const;
    void ClearDrawing();
    void Refresh();

    // Inverted ring round the marker; a second call at the same centre erases it.
    void DrawPicker();
    void MoveMarker(int x, int y);
    // Inverted ticks on both sides of the slider; a second call at the same y erases them.
    void DrawSliderMarker(int y);
    void MoveSliderMarker(float y);
    void DrawSelFrame();
    void DrawMainFrame();

    void DrawHueSlider();
    void DrawHueField(ColorParts hue);
    void DrawSaturationField();
    void DrawBrightnessField();
    void DrawSaturationSlider(ColorParts color);
    void DrawBrightnessSlider(ColorParts color);

    void DrawCell(int index, ColorValue color);
    void DrawSafePalette();
    void DrawSafePicker(int index, bool clear);
    // The cell strictly containing (x, y), its border lines excluded; 0 for none.
    [[nodiscard]] int CellAt(double x, double y) const;
    void LoadCustomColors();
    // Returns the failure, empty on success; CustomColors stay as they are either way.
    [[nodiscard]] QString SaveCustomColors() const;

    // Four read-out lines at (312, 80), over the previous read-out.
    void PrintColorInfo(ColorParts color, const QString &hex);

private:
    using FieldPixel = std::function<ColorParts(int column, int row)>;
    void DrawField(const FieldPixel &pixel, bool mirrored);
    // The saturation and brightness fields: pure hues across, blended down the rows, mirrored.
    void DrawPureHueField(int (*blend)(int component, int row));
    void DrawSlider(const std::function<int(int component, int line)> &ramp, ColorParts color);

    QString customColorsPath_;
    // Where the last read-out was printed: the surface's font may run past the
    // read-out box, and the next read-out must erase all of it.
    QRect readOutArea_;
    Surface surface_;
    Pen pen_;
};
