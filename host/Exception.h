#pragma once
// The exception tree of the platform layer. Every error the system raises
// derives from Exception and carries only its message text.

#include <exception>
#include <string>

#include "host/Translate.h"

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }

private:
  std::string FMessage;
};

// Declares an exception class that adds nothing but its place in the tree.
#define HOST_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {               \
  public:                                  \
    using Base::Base;                      \
  }

HOST_DECLARE_EXCEPTION(EOutOfResources, Exception);
HOST_DECLARE_EXCEPTION(EOutOfMemory, Exception);
HOST_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
HOST_DECLARE_EXCEPTION(EInvalidOperation, Exception);
HOST_DECLARE_EXCEPTION(EStreamError, Exception);
HOST_DECLARE_EXCEPTION(EReadError, EStreamError);
HOST_DECLARE_EXCEPTION(EWriteError, EStreamError);
HOST_DECLARE_EXCEPTION(EFOpenError, EStreamError);
HOST_DECLARE_EXCEPTION(EFCreateError, EStreamError);
// An internal consistency check failed: a fault of the program, not of its input.
HOST_DECLARE_EXCEPTION(EAssertionFailed, Exception);

// The one assertion helper. It throws rather than aborts so tests can reach it.
inline void Assert(bool condition, const char* message) {
  if (!condition) throw EAssertionFailed(message);
}

// Replaces the first "%s" of a message template, as the framework's messages do.
std::string FormatMessage(const std::string& pattern, const std::string& argument);

// The framework's message texts.
inline constexpr const char* SFOpenError = TRANSLATE_NOOP("host", "ファイル %s は開けません");
inline constexpr const char* SFCreateError = TRANSLATE_NOOP("host", "ファイル %s を作成できません");
inline constexpr const char* SReadError = TRANSLATE_NOOP("host", "ストリームの読み込みエラー");
inline constexpr const char* SWriteError = TRANSLATE_NOOP("host", "ストリームの書き込みエラー");
HOST_DECLARE_EXCEPTION(EConvertError, Exception);
inline constexpr const char* SAssignError = TRANSLATE_NOOP("host", "%s を %s に代入できません");
