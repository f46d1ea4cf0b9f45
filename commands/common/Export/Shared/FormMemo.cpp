#include "FormMemo.h"

#include "BesideFiles.h"
#include "FileProof.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"

namespace ryn {
namespace {

const char* const kMagic = "ryn-form 2\n";
// A header line of the widest tables fits many times over.
constexpr size_t kLongestMemo = size_t(4) << 20;

}  // namespace

std::string RecallForm(const std::string& target) {
  std::string text, proofLine, lengthLine;
  size_t at = std::string(kMagic).size();
  FileProof then;
  uint64_t length = 0;
  if (!ReadBeside(MemoPath(target), text, kLongestMemo * 2) || text.compare(0, at, kMagic) != 0 ||
      !NextLine(text, at, proofLine) || !ParseProof(proofLine, then) || !NextLine(text, at, lengthLine) ||
      !ParseNumbers(lengthLine, &length, 1) || length > text.size() - at)
    return "";
  HANDLE file = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  PlatFileIdentity now;
  std::string head;
  const bool same = Plat_GetFileIdentity(file, &now) && Untouched(now, then.id) &&
                    ReadRange(file, head, 0, static_cast<int64_t>(length)) && text.compare(at, length, head) == 0;
  CloseHandle(file);
  return same ? text.substr(at + length) : "";
}

void RememberForm(const std::string& target, HANDLE file, const std::string& memo) {
  const std::string path = MemoPath(target);
  FileProof proof;
  std::string line;
  if (memo.empty() || !Plat_GetFileIdentity(file, &proof.id) || !ReadFirstLine(file, line, kLongestMemo) ||
      line.empty() || line.back() != '\n' ||
      !WriteBeside(path, kMagic + ProofText(proof) + "\n" + std::to_string(line.size()) + "\n" + line + memo))
    DeleteFileA(path.c_str());
}

}  // namespace ryn
