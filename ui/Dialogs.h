// The message, confirmation and input boxes of the window and its dialogs. The window talks to
// boxes only through this interface, so tests can answer them without a screen.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace vbgen {

// The title of plain message boxes.
inline constexpr const char* kApplicationTitle = "tavorinvb代码生成器";

// The plain boxes that can carry details.
enum class TBoxKind { Message, Information, Error };

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // A plain box: the text, the application title as caption, an OK button.
  virtual void Message(const std::string& text) = 0;
  // An information icon, the given caption, an OK button.
  virtual void Information(const std::string& text, const std::string& caption) = 0;
  // OK and Cancel with an information icon; true only for OK.
  virtual bool Confirm(const std::string& text, const std::string& caption) = 0;
  // A prompt with an edit field holding defaultText; Cancel yields defaultText unchanged.
  virtual std::string Input(const std::string& caption, const std::string& prompt,
                            const std::string& defaultText) = 0;
  // What an input box's text is checked with: the message for a text it refuses, none for one
  // it takes.
  using TInputCheck = std::function<std::optional<std::string>(const std::string&)>;
  // As Input, but OK with a text that check refuses shows its message in a plain box and
  // leaves the input box open with the text as typed, to be mended. The caller still checks
  // the result, which is defaultText after Cancel. Unless overridden, this is Input.
  virtual std::string CheckedInput(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, const TInputCheck& check);
  // An error the user cannot fix by changing the input (a database or file failure).
  virtual void Error(const std::string& text) = 0;
  // One of the boxes above (caption as they have it; Information uses the one given) with a
  // list of details below its text. Unless overridden, the details follow the text in the box.
  virtual void Detailed(TBoxKind kind, const std::string& text, const std::string& caption,
                        const std::string& details);
  // The file to write, proposed as defaultName; the path as UTF-8, none when cancelled.
  virtual std::optional<std::string> SaveFileName(const std::string& caption,
                                                  const std::string& filter,
                                                  const std::string& defaultName) = 0;
  // An existing file to read; the path as UTF-8, none when cancelled.
  virtual std::optional<std::string> OpenFileName(const std::string& caption,
                                                  const std::string& filter) = 0;
};

// The real boxes, owned by the given window.
class TQtDialogs : public TDialogs {
 public:
  explicit TQtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  void Message(const std::string& text) override;
  void Information(const std::string& text, const std::string& caption) override;
  bool Confirm(const std::string& text, const std::string& caption) override;
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override;
  std::string CheckedInput(const std::string& caption, const std::string& prompt,
                           const std::string& defaultText, const TInputCheck& check) override;
  void Error(const std::string& text) override;
  void Detailed(TBoxKind kind, const std::string& text, const std::string& caption,
                const std::string& details) override;
  std::optional<std::string> SaveFileName(const std::string& caption, const std::string& filter,
                                          const std::string& defaultName) override;
  std::optional<std::string> OpenFileName(const std::string& caption,
                                          const std::string& filter) override;

 private:
  QWidget* owner_;
};

}  // namespace vbgen
