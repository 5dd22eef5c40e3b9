#include "generate/GenContext.h"

#include "generate/Gbk.h"

namespace vbgen {

void WriteGeneratedForm(TGenContext& context, const std::string& fileName,
                        const std::string& utf8Text) {
  const std::string path = context.OutputPath(fileName);
  context.sink.Write(path, Utf8ToGbkCrLf(utf8Text));
  context.progress.Progress(path + "生成完毕!");
}

}  // namespace vbgen
