#include "colorpick/frmColorPick.h"

#include "window/Dialogs.h"
#include "window/PlaceWidget.h"
#include "colorpick/Swatch.h"
#include "window/SurfaceView.h"
#include "colorpick/Val.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

namespace {

const QString HueMessage = QStringLiteral("Enter an Integer Value Between 0 and 360");
constexpr double HueRange = 360;
constexpr double PercentRange = 100;
constexpr ColorValue InitialColor = RGB(255, 0, 0);

enum PaletteModes { PickerFace = 0, CustomList = 1, SafeList = 4 };

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->move(left, top);
    result->adjustSize();
    return result;
}

QLineEdit *box(QWidget *parent, const char *name, int left, int top)
{
    auto *result = PlaceWidget<QLineEdit>(parent, name, {left, top, 25, 19});
    result->setTextMargins(0, 0, 0, 0);
    return result;
}

void setBox(QLineEdit *box, int value)
{
    box->setText(QString::number(value));
}

bool IsValidHue(double value)
{
    return value >= 0 && value <= HueRange && value == std::floor(value);
}

} // namespace

frmColorPick::frmColorPick(QString customColorsPath, MessageSink &messages, QWidget *parent)
    : QDialog(parent), picker_(std::move(customColorsPath)), messages_(messages)
{
    setWindowTitle(QStringLiteral("Color Box"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(modColorPick::ClientWidth, modColorPick::ClientHeight);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor(toQRgb(modColorPick::BackColor)));
    colors.setColor(QPalette::Button, QColor(toQRgb(modColorPick::BackColor)));
    setPalette(colors);
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);

    BuildControls();
    Load();
}

void frmColorPick::BuildControls()
{
    view_ = new SurfaceView(picker_.surface(), this);
    view_->setObjectName(QStringLiteral("surface"));
    view_->move(0, 0);
    view_->fitToSurface();
    view_->installEventFilter(this);

    // Later siblings lie on top: Frame2 covers the read-out on the picker face, and the
    // buttons lie over Frame2.
    Frame2 = PlaceWidget<QFrame>(this, "Frame2", {306, 64, 137, 149});
    Frame2->setAutoFillBackground(true);
    optH = PlaceWidget<QRadioButton>(Frame2, "optH", {0, 34, 31, 17}, QStringLiteral("H:"));
    optS = PlaceWidget<QRadioButton>(Frame2, "optS", {0, 54, 31, 17}, QStringLiteral("S:"));
    optB = PlaceWidget<QRadioButton>(Frame2, "optB", {0, 74, 33, 17}, QStringLiteral("B:"));
    // The captions must clear the boxes that start 30 pixels in.
    for (QRadioButton *option : {optH, optS, optB})
        option->setStyleSheet(QStringLiteral("QRadioButton { spacing: 1px; }"));
    txtH = box(Frame2, "txtH", 30, 32);
    txtS = box(Frame2, "txtS", 30, 52);
    txtB = box(Frame2, "txtB", 30, 72);
    QLabel *lblH = label(Frame2, "lblH", QStringLiteral("\u00B0"), 56, 32);
    QFont degreeFont(QStringLiteral("Arial"));
    degreeFont.setPointSizeF(12);
    lblH->setFont(degreeFont);
    lblH->adjustSize();
    QFont percentFont(QStringLiteral("Arial"));
    percentFont.setPointSizeF(8.25);
    label(Frame2, "lblS", QStringLiteral("%"), 56, 54)->setFont(percentFont);
    label(Frame2, "lblBB", QStringLiteral("%"), 56, 74)->setFont(percentFont);
    label(Frame2, "lblR", QStringLiteral("R:"), 80, 34);
    label(Frame2, "lblG", QStringLiteral("G:"), 80, 54);
    label(Frame2, "lblB", QStringLiteral("B:"), 80, 74);
    Text1 = box(Frame2, "Text1", 92, 32);
    Text2 = box(Frame2, "Text2", 92, 52);
    Text3 = box(Frame2, "Text3", 92, 72);
    for (QLineEdit *edit : {txtH, txtS, txtB})
        edit->installEventFilter(this);

    Frame1 = PlaceWidget<QFrame>(this, "Frame1", {308, 2, 113, 67});
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setAutoFillBackground(true);
    label(Frame1, "Label1", QStringLiteral("New"), 20, 10);
    label(Frame1, "Label3", QStringLiteral("Old"), 70, 10);
    lblSelColor = PlaceWidget<Swatch>(Frame1, "lblSelColor", {8, 24, 49, 29});
    Label2 = PlaceWidget<Swatch>(Frame1, "Label2", {57, 24, 48, 29});

    cmbPreset = PlaceWidget<QComboBox>(this, "cmbPreset", {310, 144, 115, 21});
    cmbPreset->addItems({QStringLiteral("Custom..."), QStringLiteral("Microsoft\u00AE Internet Explorer"),
                         QStringLiteral("Netscape Navigator (TM)"), QStringLiteral("Safe Palette (216)")});
    cmbPreset->setPlaceholderText(QStringLiteral("Safe Colors"));
    // The longest entry shown closed, "Safe Palette (216)", must fit the narrow box.
    QFont listFont = cmbPreset->font();
    listFont.setStretch(QFont::Condensed);
    cmbPreset->setFont(listFont);

    Frame3 = PlaceWidget<QFrame>(this, "Frame3", {302, 204, 65, 31});
    lblADDColor = PlaceWidget<Swatch>(Frame3, "lblADDColor", {2, 8, 57, 23});
    cmdADD = PlaceWidget<QPushButton>(this, "cmdADD", {304, 240, 57, 27}, QStringLiteral(" << Add    "));
    Command1 = PlaceWidget<QPushButton>(this, "Command1", {370, 176, 55, 27}, QStringLiteral("O&K"));
    Command3 = PlaceWidget<QPushButton>(this, "Command3", {370, 208, 55, 27}, QStringLiteral("&Preset"));
    Command2 = PlaceWidget<QPushButton>(this, "Command2", {370, 240, 55, 27}, QStringLiteral("&Cancel"));
    // Enter in a box must not end the dialog.
    for (QPushButton *button : {cmdADD, Command1, Command2, Command3})
        button->setAutoDefault(false);

    const auto handler = [this](void (frmColorPick::*procedure)()) {
        return [this, procedure] {
            (this->*procedure)();
            picker_.Refresh();
        };
    };
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Command3, &QPushButton::clicked, this, handler(&frmColorPick::Command3_Click));
    connect(optH, &QRadioButton::clicked, this, handler(&frmColorPick::optH_Click));
    connect(optS, &QRadioButton::clicked, this, handler(&frmColorPick::optS_Click));
    connect(optB, &QRadioButton::clicked, this, handler(&frmColorPick::optB_Click));
    connect(cmdADD, &QPushButton::clicked, this, handler(&frmColorPick::cmdADD_Click));
    connect(cmbPreset, &QComboBox::activated, this, [this](int index) {
        cmbPreset_Click(index);
        picker_.Refresh();
    });
    for (const Swatch *swatch : {lblSelColor, Label2, lblADDColor}) {
        connect(swatch, &Swatch::clicked, this, [this, swatch] {
            ShowSwatchInfo(swatch);
            picker_.Refresh();
        });
    }
}

void frmColorPick::Load()
{
    // Every control and drawing in its first state; a close from the title bar comes back here.
    picker_.ClearDrawing();
    PaletteMode = PickerFace;
    FieldDragging = false;
    SliderDragging = false;
    optH->setChecked(true);
    txtH->setText(QStringLiteral("0"));
    txtS->setText(QStringLiteral("100"));
    txtB->setText(QStringLiteral("100"));
    SetChosenColor(InitialColor);
    Label2->setColor(InitialColor);
    lblADDColor->setColor(InitialColor);
    Frame2->show();
    cmbPreset->hide();
    cmbPreset->setCurrentIndex(-1);
    Frame3->hide();
    cmdADD->hide();
    Command3->setText(QStringLiteral("&Preset"));

    picker_.DrawHueSlider();
    picker_.MarkerX = picker_.FieldRect.right;
    picker_.MarkerY = picker_.FieldRect.top;
    picker_.SliderY = static_cast<float>(picker_.SliderRect.bottom);
    picker_.DrawSliderMarker(picker_.SliderRect.bottom);
    picker_.DrawPicker();
    picker_.DrawHueField(SplitColor(InitialColor));
    picker_.SelectedCell = 1;
    picker_.pen().setColor(0);
    picker_.Refresh();
}

std::optional<ColorValue> frmColorPick::pickColor()
{
    unloadRequested_ = false;
    const ShownState shown = shownState();
    if (exec() == Accepted)
        return lblSelColor->color();
    if (unloadRequested_)
        Load();
    else
        restore(shown);
    return std::nullopt;
}

frmColorPick::ShownState frmColorPick::shownState() const
{
    return {PaletteMode,
            cmbPreset->currentIndex(),
            mode(),
            {txtH->text(), txtS->text(), txtB->text(), Text1->text(), Text2->text(), Text3->text()},
            lblSelColor->color(),
            lblADDColor->color(),
            picker_.MarkerX,
            picker_.MarkerY,
            picker_.SliderY,
            picker_.SelectedCell,
            picker_.surface().drawnImage()};
}

void frmColorPick::restore(const ShownState &state)
{
    PaletteMode = state.paletteMode;
    cmbPreset->setCurrentIndex(state.presetIndex);
    optH->setChecked(state.mode == PickMode::Hue);
    optS->setChecked(state.mode == PickMode::Saturation);
    optB->setChecked(state.mode == PickMode::Brightness);
    QLineEdit *const boxes[] = {txtH, txtS, txtB, Text1, Text2, Text3};
    for (int k = 0; k < 6; ++k)
        boxes[k]->setText(state.boxes[k]);
    lblSelColor->setColor(state.chosen);
    lblADDColor->setColor(state.add);
    picker_.MarkerX = state.markerX;
    picker_.MarkerY = state.markerY;
    picker_.SliderY = state.sliderY;
    picker_.SelectedCell = state.selectedCell;
    picker_.surface().replaceDrawing(state.drawing);
    FieldDragging = false;
    SliderDragging = false;
    Frame2->setVisible(PaletteMode == PickerFace);
    cmbPreset->setVisible(PaletteMode != PickerFace);
    Frame3->setVisible(PaletteMode == CustomList);
    cmdADD->setVisible(PaletteMode == CustomList);
    Command3->setText(PaletteMode == PickerFace ? QStringLiteral("&Preset") : QStringLiteral("&Picker"));
    // A colour added meanwhile is in the file already; the grid shows what the file holds.
    if (PaletteMode == CustomList)
        picker_.LoadCustomColors();
    picker_.Refresh();
}

void frmColorPick::LoadColorDialog(ColorValue oldColor)
{
    lblSelColor->setColor(oldColor);
}

ColorValue frmColorPick::selectedColor() const
{
    return lblSelColor->color();
}

void frmColorPick::closeEvent(QCloseEvent *event)
{
    unloadRequested_ = true;
    QDialog::closeEvent(event);
}

frmColorPick::PickMode frmColorPick::mode() const
{
    if (optS->isChecked())
        return PickMode::Saturation;
    if (optB->isChecked())
        return PickMode::Brightness;
    return PickMode::Hue;
}

bool frmColorPick::eventFilter(QObject *watched, QEvent *event)
{
    bool handled = true;
    // The window system reports the second press of a quick pair as a double click; it
    // is a press like any other, so quick nudges and drags that start with it count.
    if (watched == view_ && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() == Qt::LeftButton)
            MouseDown(mouse->position().x(), mouse->position().y());
    } else if (watched == view_ && event->type() == QEvent::MouseMove) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() == Qt::LeftButton)
            MouseMove(mouse->position().x(), mouse->position().y());
    } else if (watched == view_ && event->type() == QEvent::MouseButtonRelease) {
        MouseUp();
    } else if (event->type() == QEvent::KeyRelease && watched == txtH) {
        txtH_KeyUp();
    } else if (event->type() == QEvent::KeyRelease && watched == txtS) {
        txtS_KeyUp();
    } else if (event->type() == QEvent::KeyRelease && watched == txtB) {
        txtB_KeyUp();
    } else if (event->type() == QEvent::FocusOut && watched == txtH) {
        // Only a move of the focus inside the dialog: the message box taking the
        // focus must not report again.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtH_LostFocus();
    } else {
        handled = false;
    }
    if (handled)
        picker_.Refresh();
    return QDialog::eventFilter(watched, event);
}

void frmColorPick::Command3_Click()
{
    picker_.ClearDrawing();
    if (PaletteMode == PickerFace) {
        Frame2->hide();
        PaletteMode = CustomList;
        Command3->setText(QStringLiteral("&Picker"));
        cmbPreset->show();
        cmbPreset->setCurrentIndex(0);
        cmbPreset_Click(0);
        lblADDColor->setColor(lblSelColor->color());
        return;
    }
    picker_.ClearDrawing();
    cmbPreset->hide();
    Command3->setText(QStringLiteral("&Preset"));
    // Both markers are drawn in invert mode: put them back on the cleared surface
    // before the mode's redraw moves them.
    picker_.DrawPicker();
    picker_.DrawSliderMarker(RoundHalfEven(picker_.SliderY));
    RunModeClick();
    PaletteMode = PickerFace;
    Frame2->show();
    Frame3->hide();
    cmdADD->hide();
}

void frmColorPick::RunModeClick()
{
    switch (mode()) {
    case PickMode::Hue:
        optH_Click();
        break;
    case PickMode::Saturation:
        optS_Click();
        break;
    case PickMode::Brightness:
        optB_Click();
        break;
    }
}

void frmColorPick::optH_Click()
{
    const PixelRect &slider = picker_.SliderRect;
    picker_.DrawHueSlider();
    picker_.MoveSliderMarker(static_cast<float>(Int(slider.bottom - HueValue() * 255 / HueRange)));
    picker_.DrawHueField(SplitColor(picker_.PixelAt(slider.left + 3, picker_.SliderY)));
    picker_.MoveMarker(MarkerXFor(PercentValue(txtS), PercentRange), MarkerYFor(PercentValue(txtB)));
    lblSelColor->setColor(picker_.PixelAt(picker_.MarkerX, picker_.MarkerY));
}

void frmColorPick::optS_Click()
{
    picker_.DrawSaturationField();
    picker_.MoveMarker(MarkerXFor(HueValue(), HueRange), MarkerYFor(PercentValue(txtB)));
    picker_.DrawSaturationSlider(SplitColor(picker_.PixelAt(picker_.MarkerX, picker_.MarkerY)));
}

void frmColorPick::optB_Click()
{
    picker_.DrawBrightnessField();
    picker_.MoveMarker(MarkerXFor(HueValue(), HueRange), MarkerYFor(PercentValue(txtS)));
    picker_.DrawBrightnessSlider(SplitColor(picker_.PixelAt(picker_.MarkerX, picker_.MarkerY)));
}

void frmColorPick::cmbPreset_Click(int index)
{
    picker_.ClearDrawing();
    if (index < 0)
        return;
    // The list's entries come in PaletteMode order.
    PaletteMode = index + 1;
    if (PaletteMode == CustomList)
        picker_.LoadCustomColors();
    else if (PaletteMode == SafeList)
        picker_.DrawSafePalette();
    Frame3->setVisible(PaletteMode == CustomList);
    cmdADD->setVisible(PaletteMode == CustomList);
}

void frmColorPick::cmdADD_Click()
{
    const int cell = picker_.SelectedCell;
    const ColorValue stored = picker_.CustomColors[cell];
    picker_.CustomColors[cell] = lblADDColor->color();
    picker_.DrawSafePicker(cell, true);
    picker_.DrawCell(cell, picker_.CustomColors[cell]);
    const QString failure = picker_.SaveCustomColors();
    if (!failure.isEmpty()) {
        // The file keeps the old colour, so the grid does too.
        picker_.CustomColors[cell] = stored;
        picker_.DrawCell(cell, stored);
        messages_.showMessage(this, ProgramTitle,
                              QStringLiteral("The custom colors could not be saved to %1: %2")
                                  .arg(QDir::toNativeSeparators(picker_.customColorsPath()), failure));
    }
    picker_.DrawSafePicker(cell, false);
}

void frmColorPick::txtH_KeyUp()
{
    const double value = Val(txtH->text());
    if (!IsValidHue(value))
        messages_.showMessage(this, ProgramTitle, HueMessage);
    if (value < 0)
        txtH->setText(QStringLiteral("0"));
    if (mode() != PickMode::Hue)
        return;
    const PixelRect &slider = picker_.SliderRect;
    picker_.MoveSliderMarker(static_cast<float>(slider.bottom - HueValue() * 255 / HueRange));
    picker_.DrawHueField(SplitColor(picker_.PixelAt(slider.left + 5, picker_.SliderY)));
    SelectMarkerColor();
}

void frmColorPick::txtH_LostFocus()
{
    if (IsValidHue(Val(txtH->text())))
        return;
    messages_.showMessage(this, ProgramTitle, HueMessage);
    txtH->setFocus();
}

void frmColorPick::txtS_KeyUp()
{
    if (mode() != PickMode::Hue)
        return;
    picker_.MoveMarker(MarkerXFor(PercentValue(txtS), PercentRange), picker_.MarkerY);
    SelectMarkerColor();
}

void frmColorPick::txtB_KeyUp()
{
    if (mode() != PickMode::Hue)
        return;
    picker_.MoveMarker(picker_.MarkerX, MarkerYFor(PercentValue(txtB)));
    SelectMarkerColor();
}

void frmColorPick::ShowSwatchInfo(const Swatch *swatch)
{
    const ColorParts parts = SplitColor(swatch->color());
    picker_.PrintColorInfo(parts, GetHexVal(parts.red, parts.green, parts.blue));
}

void frmColorPick::MouseDown(double x, double y)
{
    if (PaletteMode != PickerFace) {
        PickPaletteCell(x, y, PaletteMode);
        return;
    }
    const PixelRect &field = picker_.FieldRect;
    const PixelRect &slider = picker_.SliderRect;
    if (field.left <= x && x <= field.right && field.top <= y && y <= field.bottom) {
        FieldDragging = true;
        PickFieldPoint(x, y);
    }
    if (slider.left <= x && x < slider.right + 11 && slider.top - 2 <= y && y < slider.bottom + 3) {
        SliderDragging = true;
        PickSliderPoint(std::clamp<double>(y, slider.top, slider.bottom));
    }
}

void frmColorPick::MouseMove(double x, double y)
{
    if (PaletteMode != PickerFace) {
        PickPaletteCell(x, y, PaletteMode);
        return;
    }
    const PixelRect &field = picker_.FieldRect;
    const PixelRect &slider = picker_.SliderRect;
    if (FieldDragging)
        PickFieldPoint(std::clamp<double>(x, field.left, field.right), std::clamp<double>(y, field.top, field.bottom));
    if (SliderDragging)
        PickSliderPoint(std::clamp<double>(y, slider.top, slider.bottom));
}

void frmColorPick::MouseUp()
{
    FieldDragging = false;
    if (SliderDragging && mode() == PickMode::Hue) {
        // The field follows the hue slider only once the drag ends.
        const ColorValue hue = picker_.PixelAt(picker_.SliderRect.left + 3, RoundHalfEven(picker_.SliderY));
        picker_.DrawHueField(SplitColor(hue));
        SelectMarkerColor();
    }
    SliderDragging = false;
}

void frmColorPick::PickFieldPoint(double x, double y)
{
    const PixelRect &field = picker_.FieldRect;
    picker_.MoveMarker(RoundHalfEven(x), RoundHalfEven(y));
    ColorValue color = picker_.PixelAt(x, y);
    const int fromLeft = picker_.MarkerX - field.left;
    const int fromBottom = field.bottom - picker_.MarkerY;
    switch (mode()) {
    case PickMode::Saturation:
        picker_.DrawSaturationSlider(SplitColor(color));
        setBox(txtB, Int(fromBottom * PercentRange / 255));
        setBox(txtH, Int(fromLeft * HueRange / 255));
        break;
    case PickMode::Brightness:
        picker_.DrawBrightnessSlider(SplitColor(color));
        setBox(txtS, Int(fromBottom * PercentRange / 255));
        setBox(txtH, Int(fromLeft * HueRange / 255));
        break;
    case PickMode::Hue:
        setBox(txtS, Int(fromLeft * PercentRange / 255));
        setBox(txtB, Int(fromBottom * PercentRange / 255));
        break;
    }
    // Outside hue mode the chosen colour is the slider's, just redrawn for this point.
    if (mode() != PickMode::Hue)
        color = picker_.PixelAt(picker_.SliderRect.left + 5, picker_.SliderY);
    SetChosenColor(color);
}

void frmColorPick::PickSliderPoint(double y)
{
    const PixelRect &slider = picker_.SliderRect;
    picker_.MoveSliderMarker(static_cast<float>(y));
    const double fromBottom = slider.bottom - y;
    switch (mode()) {
    case PickMode::Hue:
        setBox(txtH, Int(fromBottom * HueRange / 255));
        ColorFromHueSB(RoundHalfEven(PercentValue(txtS)), RoundHalfEven(PercentValue(txtB)));
        return;
    case PickMode::Saturation:
        setBox(txtS, Int(fromBottom * PercentRange / 255));
        break;
    case PickMode::Brightness:
        setBox(txtB, Int(fromBottom * PercentRange / 255));
        break;
    }
    SetChosenColor(picker_.PixelAt(slider.left + 5, y));
}

void frmColorPick::ColorFromHueSB(int s, int b)
{
    const ColorParts hue = SplitColor(picker_.PixelAt(picker_.SliderRect.left + 5, picker_.SliderY));
    const ColorParts color{HueSBComponent(hue.red, s, b), HueSBComponent(hue.green, s, b),
                           HueSBComponent(hue.blue, s, b)};
    lblSelColor->setColor(color.toColor());
}

void frmColorPick::PickPaletteCell(double x, double y, int mode)
{
    const int cell = picker_.CellAt(x, y);
    if (cell == 0)
        return;
    picker_.DrawSafePicker(picker_.SelectedCell, true);
    picker_.DrawSafePicker(cell, false);
    picker_.Refresh();
    picker_.SelectedCell = cell;

    ColorParts parts;
    QString hex;
    if (mode == CustomList) {
        // A hand-edited file may hold a number that is no colour: the cell shows its
        // low 24 bits, and so does the choice.
        const ColorValue color = picker_.CustomColors[cell] & 0xFFFFFF;
        lblSelColor->setColor(color);
        parts = SplitColor(color);
        hex = GetHexVal(parts.red, parts.green, parts.blue);
    } else if (mode == SafeList) {
        if (const auto safe = GetSafeColor(cell)) {
            parts = *safe;
            hex = GetHexVal(parts.red, parts.green, parts.blue);
        }
        lblSelColor->setColor(parts.toColor());
    }
    picker_.PrintColorInfo(parts, hex);
}

void frmColorPick::SelectMarkerColor()
{
    SetChosenColor(picker_.PixelAt(picker_.MarkerX, picker_.MarkerY));
}

void frmColorPick::SetChosenColor(ColorValue color)
{
    const ColorParts parts = SplitColor(color);
    lblSelColor->setColor(color);
    setBox(Text1, parts.red);
    setBox(Text2, parts.green);
    setBox(Text3, parts.blue);
}

double frmColorPick::HueValue() const
{
    return std::clamp(Val(txtH->text()), 0.0, HueRange);
}

double frmColorPick::PercentValue(const QLineEdit *box) const
{
    return std::clamp(Val(box->text()), 0.0, PercentRange);
}

int frmColorPick::MarkerXFor(double value, double range) const
{
    return RoundHalfEven(value * 255 / range + picker_.FieldRect.left);
}

int frmColorPick::MarkerYFor(double percent) const
{
    return RoundHalfEven(picker_.FieldRect.bottom - percent * 255 / PercentRange);
}
