#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/QtText.h"

namespace vbgen {

std::optional<std::string> InstallQtTranslations(QCoreApplication& app) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return "未找到 Qt 的中文翻译 " + S(folder) +
           "/qtbase_zh_CN.qm (Debian 软件包 qt6-translations-l10n), 文件对话框将显示英文";
  }
  return std::nullopt;
}

}  // namespace vbgen
