#include "host/Translate.h"

#include <atomic>

namespace {
std::atomic<TTranslator> Installed{nullptr};
}

void SetTranslator(TTranslator Translator) { Installed = Translator; }

std::string Translate(const char* Context, const char* Source) {
  const TTranslator translator = Installed;
  return translator ? translator(Context, Source) : std::string(Source);
}

std::string FillArgs(const std::string& Text, std::initializer_list<std::string> Values) {
  std::string result;
  result.reserve(Text.size());
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '%' && i + 1 < Text.size() && Text[i + 1] >= '1' && Text[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(Text[i + 1] - '1');
      if (n < Values.size()) {
        result += Values.begin()[n];
        ++i;
        continue;
      }
    }
    result += Text[i];
  }
  return result;
}
