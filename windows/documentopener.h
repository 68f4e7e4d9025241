#pragma once

#include <QUrl>
#include <functional>

class QObject;

// Opens a file or folder with the platform's document opener, as Help > Content and
// View > Examples do. Returns false when no opener could be started. Where the opener is
// xdg-open, its end is watched without waiting for it, so that a type with no viewer is
// reported too: `failed` then runs later, once. Elsewhere only the start is known.
// The watch belongs to `owner` and ends with it.
bool openDocument(QObject *owner, const QUrl &url, std::function<void()> failed);
