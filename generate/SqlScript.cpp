// Placeholder until the script builder lands; replaced whole by it.
#include "generate/SqlScript.h"

namespace vbgen {
std::string BuildTableScript(int) { throw TScriptError("script builder not built yet"); }
}  // namespace vbgen
