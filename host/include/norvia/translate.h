// Translation of German text keys through .loc files, per domain (a
// command's application name) and from the files added to every domain.
#pragma once

#include <string>

// Returns the translation of `key`; an unknown key translates to itself.
std::string Translate(const char* key, int flags = 0, const char* context = nullptr,
                      const char* domain = nullptr);
// Adds the translations of `file` (looked up in the host's loc directory).
bool Translate_AddLocFile(const char* domain, const char* a, const char* b, const char* file);

namespace norvia {
// The folder of the .loc files; by default "loc" beside the host library.
void SetLocDirectory(const std::string& dir);
// Parses one .loc text ("key = text" lines, ';' comments); null, or the
// message that names file and line.
const char* ParseLocText(const std::string& text, const std::string& file,
                         void (*add)(void* ctx, const std::string&, const std::string&), void* ctx);
void ResetTranslations();
}  // namespace norvia
