#include "hardcopy/save_offer.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace sinkview {

QString OfferToSaveElsewhere(QWidget* window, const SaveOffer& offer) {
  QMessageBox box(QMessageBox::Warning, offer.title, offer.message, QMessageBox::Ok, window);
  box.setObjectName(QStringLiteral("SaveOffer"));
  QPushButton* save = box.addButton(offer.saveCaption, QMessageBox::AcceptRole);
  save->setObjectName(QStringLiteral("SaveElsewhere"));
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
  if (box.clickedButton() != save) return {};

  QFileDialog dialog(window, offer.dialogTitle, offer.proposed, offer.filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(offer.suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

} // namespace sinkview
