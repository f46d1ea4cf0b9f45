// File handles as the durable writers use them: exclusive creation, checked
// writes, truncation, byte-range locks per handle, replace, and the fault seam.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "platform/error.h"
#include "platform/fault.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/textfile.h"

namespace {

struct TempDir {
  std::string path;
  TempDir() {
    path = (std::filesystem::temp_directory_path() / ("plat-" + std::to_string(std::random_device()()))).string();
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::all, ec);
    std::filesystem::remove_all(path, ec);
  }
  std::string operator/(const char* name) const { return path + "/" + name; }
};

HANDLE Open(const std::string& path, DWORD disposition) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Put(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

std::string Content(const std::string& path) {
  std::string bytes;
  plat::ReadWholeFile(path.c_str(), bytes);
  return bytes;
}

OVERLAPPED At(DWORD offset) {
  OVERLAPPED o{};
  o.Offset = offset;
  return o;
}

TEST(FileHandles, ExclusiveCreateWriteTruncateAndOpenErrors) {
  TempDir t;
  const std::string path = t / "f.txt";
  HANDLE f = Open(path, CREATE_NEW);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Put(f, "keep|cut"));
  LARGE_INTEGER size{}, to{};
  ASSERT_TRUE(GetFileSizeEx(f, &size));
  EXPECT_EQ(size.QuadPart, 8);
  to.QuadPart = 4;
  ASSERT_TRUE(SetFilePointerEx(f, to, nullptr, FILE_BEGIN));
  EXPECT_TRUE(SetEndOfFile(f));
  EXPECT_TRUE(FlushFileBuffers(f));
  EXPECT_TRUE(CloseHandle(f));
  EXPECT_EQ(Content(path), "keep");

  struct Case {
    std::string path;
    DWORD disposition, error;
  } refused[] = {
      {path, CREATE_NEW, ERROR_FILE_EXISTS},
      {t / "missing.txt", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {t / "no\\such\\f.txt", CREATE_NEW, ERROR_PATH_NOT_FOUND},
      {t.path, OPEN_ALWAYS, ERROR_ACCESS_DENIED},
  };
  for (const Case& c : refused) {
    EXPECT_EQ(Open(c.path, c.disposition), INVALID_HANDLE_VALUE) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  HANDLE again = Open(path, OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "an open-or-create tells that it opened";
  CloseHandle(again);
}

TEST(FileHandles, LocksBelongToTheHandleAndEndWithIt) {
  TempDir t;
  const std::string path = t / "lock";
  HANDLE a = Open(path, OPEN_ALWAYS), b = Open(path, OPEN_ALWAYS);
  ASSERT_NE(a, INVALID_HANDLE_VALUE);
  ASSERT_NE(b, INVALID_HANDLE_VALUE);
  const DWORD exclusiveNow = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
  OVERLAPPED high = At(0x40000000u), low = At(7);
  ASSERT_TRUE(LockFileEx(a, exclusiveNow, 0, 1, 0, &high)) << "a lock beyond the end of the file";
  EXPECT_FALSE(LockFileEx(b, exclusiveNow, 0, 1, 0, &high));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LOCK_VIOLATION));
  EXPECT_TRUE(LockFileEx(b, exclusiveNow, 0, 1, 0, &low)) << "another range is free";
  EXPECT_TRUE(UnlockFileEx(b, 0, 1, 0, &low));
  CloseHandle(a);
  EXPECT_TRUE(LockFileEx(b, exclusiveNow, 0, 1, 0, &high)) << "closing the handle ends its lock";
  CloseHandle(b);
}

TEST(FileHandles, ReplaceTakesTheNewContentAndRefusesReadOnlyTargets) {
  TempDir t;
  const std::string target = t / "target.csv", aside = t / "aside.tmp";
  for (const auto& [path, text] : {std::pair{target, "old"}, std::pair{aside, "new"}}) {
    HANDLE f = Open(path, CREATE_NEW);
    Put(f, text);
    CloseHandle(f);
  }
  std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
  EXPECT_FALSE(MoveFileExA(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Content(target), "old");
  std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_TRUE(MoveFileExA(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(Content(target), "new");
  EXPECT_FALSE(PathFileExistsA(aside.c_str()));
}

TEST(FaultSeam, TheNthCallFailsWithTheGivenError) {
  TempDir t;
  HANDLE f = Open(t / "f", CREATE_NEW);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  OVERLAPPED o{};
  struct Case {
    PlatFault op;
    unsigned nth;
    DWORD error;
    std::function<bool()> call;
  } cases[] = {
      {PlatFault::Write, 2, ERROR_DISK_FULL, [&] { return Put(f, "x"); }},
      {PlatFault::Flush, 1, ERROR_IO_DEVICE, [&] { return FlushFileBuffers(f) != FALSE; }},
      {PlatFault::Truncate, 1, ERROR_ACCESS_DENIED, [&] { return SetEndOfFile(f) != FALSE; }},
      {PlatFault::Lock, 1, ERROR_LOCK_VIOLATION,
       [&] { return LockFileEx(f, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &o) != FALSE; }},
      {PlatFault::Create, 1, ERROR_ACCESS_DENIED, [&] {
         HANDLE g = Open(t / "g", OPEN_ALWAYS);
         return g != INVALID_HANDLE_VALUE && CloseHandle(g);
       }},
      {PlatFault::Replace, 1, ERROR_ACCESS_DENIED,
       [&] { return MoveFileExA((t / "g").c_str(), (t / "h").c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE; }},
  };
  for (Case& c : cases) {
    Plat_FailNth(c.op, c.nth, c.error);
    for (unsigned i = 1; i < c.nth; ++i) EXPECT_TRUE(c.call()) << "call " << i << " comes before the failure";
    EXPECT_FALSE(c.call());
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_TRUE(c.call()) << "one failure only";
  }
  Plat_ClearFaults();
  CloseHandle(f);
}

}  // namespace
