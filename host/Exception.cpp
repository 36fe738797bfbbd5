#include "host/Exception.h"

std::string FormatMessage(const std::string& pattern, const std::string& argument) {
  std::string text = pattern;
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
  return text;
}
