#pragma once

#include "raster/ColorValue.h"
#include "setup/SecondsText.h"
#include "settings/SettingsDoc.h"
#include "raster/Surface.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class FileChooser;
class MessageSink;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;
class SurfaceView;
class UpDown;

// The configuration window. Its controls are the working copy of the settings for the
// whole run: Apply and OK store them, and the slide show reads background, transition
// and size straight from them, so a preview shows unapplied choices.
class SetupForm : public QDialog
{
    Q_OBJECT
public:
    struct Hooks
    {
        // "Select": shows the colour picker modally; nullopt keeps the colour. Empty until
        // the picker exists, and then Select does nothing.
        std::function<std::optional<ColorValue>()> pickColor;
        // "Preview": shows the slide show modelessly over this window.
        std::function<void()> startPreview;
        // OK after a successful save, Cancel and the title bar's close: ends the whole program.
        std::function<void()> endProgram;
    };

    // Loads the controls from the settings and centres the window, so a form created
    // hidden already holds the stored values.
    SetupForm(SettingsDoc &settings, FileChooser &files, MessageSink &messages, Hooks hooks, QWidget *parent = nullptr);

    [[nodiscard]] ColorValue backgroundColor() const;
    [[nodiscard]] bool randomTransitions() const;
    [[nodiscard]] ImageSize imageSize() const;
    // What SaveSettings writes.
    [[nodiscard]] SettingsValues controlValues() const;

public slots:
    // Escape and the title bar's close end the program as Cancel does, without saving.
    void reject() override;

protected:
    // Takes files and folders dropped on the picture list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load();
    void setBackgroundColor(ColorValue color);
    [[nodiscard]] int selectedIndex() const;
    void addFile();
    void appendFiles(const QStringList &paths);
    void removeFile();
    void previewSelection();
    void stepSeconds(SecondsArrow arrow);
    void selectBackground();
    // Refuses seconds the show cannot run on and reports a failed save; true when stored.
    bool storeSettings();
    void ok();

    SettingsDoc &settings_;
    FileChooser &files_;
    MessageSink &messages_;
    Hooks hooks_;

    Surface picImage_;
    Surface picHidden_;
    Surface swatch_;

    QListWidget *lstFiles_ = nullptr;
    SurfaceView *picImageView_ = nullptr;
    SurfaceView *swatchView_ = nullptr;
    QRadioButton *optRandom_ = nullptr;
    QRadioButton *optNone_ = nullptr;
    QLineEdit *txtSeconds_ = nullptr;
    // In ImageSize order: FullScreen, Large, Medium, Small.
    std::array<QRadioButton *, 4> sizeOptions_{};
};
