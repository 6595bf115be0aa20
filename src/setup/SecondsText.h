#pragma once

#include <QString>
#include <optional>

enum class SecondsArrow { Down, Up };

// The number as the arrows write it: decimal, at most 15 significant digits, no exponent,
// no trailing zeros or trailing point.
[[nodiscard]] QString SecondsText(double value);

// The seconds text after one press of an arrow, or nullopt when the arrow does nothing:
// the text is no number, or it stands at exactly 1 going down or exactly 10 going up.
// Other values are neither clamped nor rounded, so 0 goes down to -1 and 2.5 up to 3.5.
[[nodiscard]] std::optional<QString> SteppedSeconds(const QString &text, SecondsArrow arrow);

// Whether the slide show can run on this text: a number that gives a slide interval
// of at least one whole millisecond.
[[nodiscard]] bool AcceptableSeconds(const QString &text);
