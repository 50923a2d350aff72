#pragma once

#include <QString>

class QWidget;

namespace sinkview {

// What a window shows when a file cannot be written where it belongs: the
// message with "OK" and a button `saveCaption` that opens a file dialog at
// `proposed`. Returns the chosen file, or "" when the user declines.
struct SaveOffer {
  QString title, message, saveCaption, dialogTitle, proposed, filter, suffix;
};
QString OfferToSaveElsewhere(QWidget* window, const SaveOffer& offer);

} // namespace sinkview
