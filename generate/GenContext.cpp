#include "generate/GenContext.h"

#include "generate/Gbk.h"

namespace vbgen {

void TFileSink::WriteText(const std::string& relativePath, std::string&& utf8Text) {
  Write(relativePath, Utf8ToGbkCrLf(utf8Text));
}

void WriteGeneratedForm(TGenContext& context, const std::string& fileName, std::string utf8Text) {
  std::string path = context.OutputPath(fileName);
  context.sink.WriteText(path, std::move(utf8Text));
  context.progress.Progress(path + "生成完毕!");
}

}  // namespace vbgen
