// Qt's own texts (the file dialogs, the standard buttons, the box of a fatal error) in the
// program's language.
#pragma once

#include <optional>
#include <string>

class QCoreApplication;

namespace vbgen {

// Loads Qt's Chinese translations into app. Returns what is missing when they could not be
// loaded (the program then goes on with Qt's English texts), none when they were.
std::optional<std::string> InstallQtTranslations(QCoreApplication& app);

}  // namespace vbgen
