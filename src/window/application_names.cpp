#include "window/application_names.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QString>

#include "app/data_folder.h"

namespace ccp::qt {

namespace {
QString qString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

void nameApplication() {
  QCoreApplication::setOrganizationName(qString(kOrganisationName));
  QCoreApplication::setApplicationName(qString(kApplicationName));
}

void giveApplicationIcon() {
  const QString name = qString(kApplicationName);
  QGuiApplication::setWindowIcon(
      QIcon::fromTheme(name, QIcon(QStringLiteral(":/%1.svg").arg(name))));
  QGuiApplication::setDesktopFileName(name);
}

}  // namespace ccp::qt
