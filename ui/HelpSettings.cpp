#include "ui/HelpSettings.h"

#include <QSettings>
#include <stdexcept>

#include "ui/QtText.h"

namespace vbgen {
namespace {
const QString kShowAtStartKey = QStringLiteral("help/showAtStart");
}  // namespace

bool THelpSettings::ShowAtStart() const {
  return QSettings(PathText(file_), QSettings::IniFormat).value(kShowAtStartKey, true).toBool();
}

void THelpSettings::SetShowAtStart(bool show) {
  QSettings settings(PathText(file_), QSettings::IniFormat);
  settings.setValue(kShowAtStartKey, show);
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw std::runtime_error("未能保存设置: 无法写入 " + PathUtf8(file_));
  }
}

}  // namespace vbgen
