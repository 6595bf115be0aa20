#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path with content, or leaves it untouched: the content goes to a
// temporary file beside it, every write, the sync and the close are checked, and only
// then is it renamed over the old file. A missing folder is made first.
// Returns the reason of a failure, empty on success.
[[nodiscard]] QString ReplaceFile(const QString &path, const QByteArray &content);
