// The configurable entries of the ASCII report header: label text and
// value width per key, changeable through host globals.
#pragma once

#include <string>

namespace ryn {

// The key of a configurable label ("Inspector:" -> "operator"), or null.
const char* HeaderKeyOf(const std::string& label);
// The label text: the table's, or the text global "ryn_export.ascii.header.text." + key (cut to 30).
std::string GetHeaderEntryText(const std::string& label, const std::string& key);
// The width: 30, or the number global "ryn_export.ascii.header.length." + key, within 30 to 255.
long GetHeaderEntryLength(const std::string& labelText, const std::string& key);
// Print format of the entry: label text, ";", "%.<width>s", "\n" ('%' of the label doubled).
std::string GetHeaderFormat(const std::string& label);

}  // namespace ryn
