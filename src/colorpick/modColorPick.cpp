#include "colorpick/modColorPick.h"

#include "raster/Gdi.h"

#include <QFont>
#include <QFontMetrics>
#include <vector>

namespace {

constexpr int FieldSize = 256;
constexpr int ReadOutTop = 80;
constexpr int ReadOutBottom = 130;


QRect toQRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

modColorPick::modColorPick(QString customColorsPath)
    : customColorsPath_(std::move(customColorsPath)),
      surface_(ClientWidth, ClientHeight, BackColor),
      pen_(surface_)
{
    FieldRect.left = 10;
    FieldRect.top = 10;
    FieldRect.right = FieldRect.left + 255;
    FieldRect.bottom = FieldRect.top + 255;
    SliderRect.left = FieldRect.right + 12;
    SliderRect.top = FieldRect.top;
    SliderRect.right = SliderRect.left + 15;
    SliderRect.bottom = FieldRect.bottom;
    for (int i = 1; i <= PaletteCellCount; ++i)
        PaletteCells[i] = PaletteCellRect(i);
}

ColorValue modColorPick::PixelAt(double x, double y) const
{
    return GetPixel(surface_, RoundHalfEven(x), RoundHalfEven(y));
}

void modColorPick::ClearDrawing()
{
    surface_.clear();
}

void modColorPick::Refresh()
{
    surface_.refresh();
}

void modColorPick::DrawPicker()
{
    pen_.setDrawMode(DrawMode::Invert);
    pen_.setFillStyle(FillStyle::Transparent);
    pen_.setWidth(1);
    pen_.Circle(MarkerX, MarkerY, 5);
}

void modColorPick::MoveMarker(int x, int y)
{
    DrawPicker();
    MarkerX = x;
    MarkerY = y;
    DrawPicker();
}

void modColorPick::DrawSliderMarker(int y)
{
    pen_.setDrawMode(DrawMode::Invert);
    pen_.setWidth(2);
    pen_.MoveToEx(SliderRect.right + 2, y);
    pen_.LineTo(SliderRect.right + 5, y);
    // The square two-pixel pen grows right and down; drawing the left tick toward the
    // slider keeps it off the slider's frame, which is redrawn under a standing marker.
    pen_.MoveToEx(SliderRect.left - 5, y);
    pen_.LineTo(SliderRect.left - 2, y);
    pen_.setWidth(1);
}

void modColorPick::MoveSliderMarker(float y)
{
    DrawSliderMarker(RoundHalfEven(SliderY));
    DrawSliderMarker(RoundHalfEven(y));
    SliderY = y;
}

void modColorPick::DrawSelFrame()
{
    DrawEdge(surface_, toQRect(FieldRect.left - 1, FieldRect.top - 1, FieldRect.right + 3, FieldRect.bottom + 3), Edge::SunkenInner);
    Refresh();
}

void modColorPick::DrawMainFrame()
{
    DrawEdge(surface_, toQRect(SliderRect.left - 1, SliderRect.top - 1, SliderRect.right + 1, SliderRect.bottom + 3), Edge::SunkenInner);
    Refresh();
}

void modColorPick::DrawHueSlider()
{
    const int width = SliderRect.right - SliderRect.left;
    const int stride = (width * 3 + 3) & ~3;
    const double h = (FieldRect.bottom - FieldRect.top) / 6.0;
    std::vector<unsigned char> bits(static_cast<size_t>(stride) * FieldSize, 0);
    for (int k = 0; k < FieldSize; ++k) {
        const ColorParts color = HueSliderColor(k, h);
        unsigned char *row = bits.data() + static_cast<size_t>(k) * stride;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<unsigned char>(color.blue);
            row[3 * x + 1] = static_cast<unsigned char>(color.green);
            row[3 * x + 2] = static_cast<unsigned char>(color.red);
        }
    }
    // Bitmap rows are stored bottom-up; the copy mirrored upwards puts row k at top + k.
    Surface memory(width, FieldSize);
    SetDIBitsToSurface(memory, 0, 0, width, FieldSize, bits.data());
    StretchBlt(surface_, SliderRect.left, SliderRect.bottom, width, -FieldSize, memory, 0, 0, width, FieldSize);
    DrawMainFrame();
}

void modColorPick::DrawField(const FieldPixel &pixel, bool mirrored)
{
    DrawPicker();
    pen_.setWidth(1);
    pen_.setDrawMode(DrawMode::CopyPen);

    // 24-bit bottom-up rows of blue, green, red; 768 bytes a row need no padding.
    std::vector<unsigned char> bits(FieldSize * FieldSize * 3, 0);
    unsigned char *out = bits.data();
    for (int t = FieldSize - 1; t >= 0; --t) {
        for (int column = 0; column < FieldSize; ++column) {
            const ColorParts color = pixel(column, t);
            *out++ = static_cast<unsigned char>(color.blue);
            *out++ = static_cast<unsigned char>(color.green);
            *out++ = static_cast<unsigned char>(color.red);
        }
    }
    Surface memory(FieldSize, FieldSize);
    SetDIBitsToSurface(memory, 0, 0, FieldSize, FieldSize, bits.data());
    if (mirrored)
        StretchBlt(surface_, FieldRect.right, FieldRect.top, -FieldSize, FieldSize, memory, 0, 0, FieldSize, FieldSize);
    else
        BitBlt(surface_, FieldRect.left, FieldRect.top, FieldSize, FieldSize, memory, 0, 0);

    DrawSelFrame();
    DrawPicker();
}

void modColorPick::DrawHueField(ColorParts hue)
{
    DrawField(
        [hue](int k, int t) {
            return ColorParts{HueFieldComponent(hue.red, k, t), HueFieldComponent(hue.green, k, t),
                              HueFieldComponent(hue.blue, k, t)};
        },
        false);
}

void modColorPick::DrawBrightnessField()
{
    DrawPureHueField(SaturationBlend);
}

void modColorPick::DrawSaturationField()
{
    DrawPureHueField(BrightnessScale);
}

void modColorPick::DrawPureHueField(int (*blend)(int component, int row))
{
    const auto ends = SectorEnds(FieldRect.bottom - FieldRect.top);
    DrawField(
        [&ends, blend](int x, int t) {
            const ColorParts p = PureHue(x, ends);
            return ColorParts{blend(p.red, t), blend(p.green, t), blend(p.blue, t)};
        },
        true);
}

void modColorPick::DrawSlider(const std::function<int(int component, int line)> &ramp, ColorParts color)
{
    pen_.setDrawMode(DrawMode::CopyPen);
    pen_.setWidth(1);
    for (int i = 0; i < FieldSize; ++i) {
        pen_.setColor(RGB(ramp(color.red, i), ramp(color.green, i), ramp(color.blue, i)));
        pen_.MoveToEx(SliderRect.left, SliderRect.top + i);
        pen_.LineTo(SliderRect.right, SliderRect.top + i);
    }
    DrawMainFrame();
}

void modColorPick::DrawSaturationSlider(ColorParts color)
{
    DrawSlider(SaturationBlend, color);
}

void modColorPick::DrawBrightnessSlider(ColorParts color)
{
    DrawSlider(BrightnessScale, color);
}

void modColorPick::DrawCell(int index, ColorValue color)
{
    const PixelRect &cell = PaletteCells[index];
    pen_.setFillStyle(FillStyle::Solid);
    pen_.setDrawMode(DrawMode::CopyPen);
    pen_.setWidth(1);
    pen_.setColor(0);
    pen_.setFillColor(color);
    pen_.Rectangle(cell.left, cell.top, cell.right, cell.bottom);
}

void modColorPick::DrawSafePalette()
{
    for (int i = 1; i <= PaletteCellCount; ++i)
        DrawCell(i, GetSafeColor(i).value_or(ColorParts{}).toColor());
    DrawSafePicker(SelectedCell, false);
}

void modColorPick::DrawSafePicker(int index, bool clear)
{
    const PixelRect &cell = PaletteCells[index];
    pen_.setFillStyle(FillStyle::Transparent);
    pen_.setDrawMode(DrawMode::CopyPen);
    pen_.setWidth(3);
    if (clear) {
        pen_.setColor(surface_.backColor());
        pen_.Rectangle(cell.left - 2, cell.top - 2, cell.right + 2, cell.bottom + 2);
    } else {
        DrawEdge(surface_, toQRect(cell.left - 3, cell.top - 3, cell.right + 3, cell.bottom + 3), Edge::Sunken);
    }
}

int modColorPick::CellAt(double x, double y) const
{
    for (int i = 1; i <= PaletteCellCount; ++i) {
        const PixelRect &cell = PaletteCells[i];
        if (cell.left < x && x < cell.right && cell.top < y && y < cell.bottom)
            return i;
    }
    return 0;
}

void modColorPick::LoadCustomColors()
{
    CustomColors = ReadCustomColors(customColorsPath_);
    ClearDrawing();
    for (int i = 1; i <= PaletteCellCount; ++i)
        DrawCell(i, CustomColors[i]);
    DrawSafePicker(SelectedCell, false);
    Refresh();
}

QString modColorPick::SaveCustomColors() const
{
    return WriteCustomColors(customColorsPath_, CustomColors);
}

void modColorPick::PrintColorInfo(ColorParts color, const QString &hex)
{
    const QString lines[] = {
        QStringLiteral("R: ") + QString::number(color.red),
        QStringLiteral("G: ") + QString::number(color.green),
        QStringLiteral("B: ") + QString::number(color.blue),
        QStringLiteral("Hex: #") + hex,
    };
    const int left = SliderRect.right + 20;
    const QFontMetrics metrics{QFont()};
    const QRect box = toQRect(left, ReadOutTop, SliderRect.right + 101, ReadOutBottom + 1) | readOutArea_;
    pen_.setFillColor(surface_.backColor());
    pen_.setColor(surface_.backColor());
    pen_.setDrawMode(DrawMode::CopyPen);
    pen_.Box(box.left(), box.top(), box.right(), box.bottom());

    pen_.setColor(0);
    readOutArea_ = QRect();
    int y = ReadOutTop;
    for (const QString &line : lines) {
        pen_.Text(left, y, line);
        readOutArea_ |= QRect(left, y, metrics.horizontalAdvance(line), metrics.height());
        y += metrics.height();
    }
}
