#pragma once

#include "raster/ColorValue.h"
#include "colorpick/modColorPick.h"

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <optional>

class MessageSink;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Swatch;
class SurfaceView;

// The "Color Box" dialog: a colour field and slider drawn on its own surface, with the
// boxes, swatches and buttons laid over that surface at fixed pixel positions.
class frmColorPick : public QDialog
{
    Q_OBJECT
public:
    // customColorsPath is the full path of usercolors.cps.
    explicit frmColorPick(QString customColorsPath, MessageSink &messages, QWidget *parent = nullptr);

    // Shows the dialog modally. OK gives the "New" colour and keeps every state for the
    // next showing; "&Cancel" gives nothing and puts everything back as it was when
    // shown; a close from the title bar gives nothing and the next showing starts from
    // the load state.
    [[nodiscard]] std::optional<ColorValue> pickColor();

    // Makes oldColor the "New" colour and changes nothing else.
    void LoadColorDialog(ColorValue oldColor);

    [[nodiscard]] ColorValue selectedColor() const;
    [[nodiscard]] int paletteMode() const { return PaletteMode; }
    [[nodiscard]] const modColorPick &picker() const { return picker_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class PickMode { Hue, Saturation, Brightness };

    // Everything a showing can change, so that a cancelled showing leaves no trace.
    struct ShownState
    {
        int paletteMode;
        int presetIndex;
        PickMode mode;
        QStringList boxes;
        ColorValue chosen;
        ColorValue add;
        int markerX;
        int markerY;
        float sliderY;
        int selectedCell;
        QImage drawing;
    };
    [[nodiscard]] ShownState shownState() const;
    void restore(const ShownState &state);

    void BuildControls();
    void Load();
    [[nodiscard]] PickMode mode() const;

    void Command3_Click();
    void optH_Click();
    void optS_Click();
    void optB_Click();
    void RunModeClick();
    void cmbPreset_Click(int index);
    void cmdADD_Click();
    void txtH_KeyUp();
    void txtH_LostFocus();
    void txtS_KeyUp();
    void txtB_KeyUp();
    void ShowSwatchInfo(const Swatch *swatch);

    void MouseDown(double x, double y);
    void MouseMove(double x, double y);
    void MouseUp();
    void PickFieldPoint(double x, double y);
    void PickSliderPoint(double y);
    void ColorFromHueSB(int s, int b);
    void PickPaletteCell(double x, double y, int mode);
    void SelectMarkerColor();
    void SetChosenColor(ColorValue color);

    // Box values held to their ranges, so markers stay on the field and slider and every
    // colour read back comes from them.
    [[nodiscard]] double HueValue() const;
    [[nodiscard]] double PercentValue(const QLineEdit *box) const;
    [[nodiscard]] int MarkerXFor(double value, double range) const;
    [[nodiscard]] int MarkerYFor(double percent) const;

    modColorPick picker_;
    MessageSink &messages_;

    int PaletteMode = 0;
    bool FieldDragging = false;
    bool SliderDragging = false;
    bool unloadRequested_ = false;

    SurfaceView *view_ = nullptr;
    QFrame *Frame1 = nullptr;
    QFrame *Frame2 = nullptr;
    QFrame *Frame3 = nullptr;
    Swatch *lblSelColor = nullptr;
    Swatch *Label2 = nullptr;
    Swatch *lblADDColor = nullptr;
    QRadioButton *optH = nullptr;
    QRadioButton *optS = nullptr;
    QRadioButton *optB = nullptr;
    QLineEdit *txtH = nullptr;
    QLineEdit *txtS = nullptr;
    QLineEdit *txtB = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QComboBox *cmbPreset = nullptr;
    QPushButton *cmdADD = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
};
