#pragma once
// The window's texts that the lower layers make: each passes through Translate, which the
// window points at its translator; the command-line tools install none and keep the source text.
// lupdate collects Translate and TRANSLATE_NOOP as it does QCoreApplication::translate and
// QT_TRANSLATE_NOOP (-tr-function-alias).

#include <initializer_list>
#include <string>

using TTranslator = std::string (*)(const char* Context, const char* Source);

// Null puts the identity back.
void SetTranslator(TTranslator Translator);
std::string Translate(const char* Context, const char* Source);

// Marks a source text for lupdate where it is defined; Translate it where it is used.
#define TRANSLATE_NOOP(Context, Source) Source

// Replaces %1, %2 ... (up to %9) of Text by the values in order, as QString::arg would.
std::string FillArgs(const std::string& Text, std::initializer_list<std::string> Values);

// The platform layer's message texts (its S... constants, marked with TRANSLATE_NOOP("host", ...)).
inline std::string HostText(const char* Source) { return Translate("host", Source); }
