// Automatic content keys: "<PROTOCOL_HEADER__...>" and "<ENVIRONMENT__...>"
// names in schemes, replaced by drawing-header texts and machine data.
#pragma once

#include <string>
#include <vector>

namespace ryn {

constexpr int kProtocolHeaderKeyCount = 13;

// Replaces the protocol-header and environment keys; `headers` holds the
// thirteen drawing-header texts in key order. Null, or the message of a
// failed machine query (the text is left half replaced then).
const char* ReplaceAutoKeys(std::string& text, const std::vector<std::string>& headers);
// Removes the 21 keys of the scheme key list; returns the number removed.
int RemoveAutoKeys(std::string& text);

// Key names without brackets.
extern const char* const kProtocolHeaderKeys[kProtocolHeaderKeyCount];
extern const char* const kProtocolHeaderGlobals[kProtocolHeaderKeyCount];
extern const char* const kEnvironmentKeys[6];
extern const char* const kSchemeKeys[21];
extern const char* const kAllKeys[46];

}  // namespace ryn
