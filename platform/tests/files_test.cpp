// Files, paths, text files, file handles with their locks, and the seams
// (locale, faults), as the command uses them.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/error.h"
#include "platform/fault.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/locale.h"
#include "platform/sharedread.h"
#include "platform/textfile.h"
#include "testing/temp_dir.h"

namespace {

using ryntest::TempDir;

TEST(SplitPath, PartsLikeTheCRuntime) {
  struct Case {
    const char* path;
    const char *drive, *dir, *fname, *ext;
  } cases[] = {
      {"D:\\exp\\2024\\m03_07.txt", "D:", "\\exp\\2024\\", "m03_07", ".txt"},
      {"reports/a.b/x", "", "reports/a.b/", "x", ""},
      {"dir\\", "", "dir\\", "", ""},
      {"plain.tar.gz", "", "", "plain.tar", ".gz"},
      {"C:file", "C:", "", "file", ""},
      {"/abs/x.txt", "", "/abs/", "x", ".txt"},
  };
  for (const Case& c : cases) {
    char drive[3], dir[256], fname[256], ext[256];
    ASSERT_EQ(_splitpath_s(c.path, drive, sizeof drive, dir, sizeof dir, fname, sizeof fname, ext, sizeof ext), 0)
        << c.path;
    EXPECT_STREQ(drive, c.drive) << c.path;
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(fname, c.fname) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
    char joined[260];
    ASSERT_EQ(_makepath_s(joined, sizeof joined, drive, dir, fname, ext), 0);
    EXPECT_STREQ(joined, c.path);
  }
  char small[4];
  EXPECT_NE(_splitpath_s("abcdefgh\\x", nullptr, 0, small, sizeof small, nullptr, 0, nullptr, 0), 0)
      << "a part longer than its buffer is an error";
}

TEST(Directories, LastErrorTellsWhatFailed) {
  TempDir t;
  std::string dir = t.path + "\\made";
  EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  EXPECT_TRUE(PathFileExistsA(dir.c_str()));
  EXPECT_FALSE(CreateDirectoryA(dir.c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA((t.path + "\\no\\such").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // A drive the system does not have (none on Linux): path not found, which wine words as file not found.
  EXPECT_FALSE(CreateDirectoryA("Q:\\ryn-no-drive", nullptr));
  EXPECT_TRUE(GetLastError() == ERROR_PATH_NOT_FOUND || GetLastError() == ERROR_FILE_NOT_FOUND) << GetLastError();
  EXPECT_FALSE(DeleteFileA((t.path + "\\missing.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(_access((t.path + "/missing.txt").c_str(), 0), -1);
  EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
  EXPECT_FALSE(PathFileExistsA(dir.c_str()));
}

TEST(FormatMessage, SystemTextsOfCommonCodes) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                           reinterpret_cast<LPSTR>(&text), 0, nullptr);
  ASSERT_GT(n, 0u);
  // Windows and wine word it differently; both end the sentence with CRLF.
  std::string message = text;
  EXPECT_GT(message.size(), 4u);
  EXPECT_EQ(message.substr(message.size() - 3), ".\r\n");
  LocalFree(text);
}

TEST(TextFile, WritesCrlfAndReadsEitherLineEnd) {
  TempDir t;
  std::string path = t.path + "\\r.txt";
  {
    plat::TextFile f;
    ASSERT_TRUE(f.Open(path.c_str(), "w+"));
    f.Printf("%s;%d\n", "a", 1);
    f.Write("b\n");
    EXPECT_TRUE(f.Close());
  }
  {
    plat::TextFile f;
    ASSERT_TRUE(f.Open(path.c_str(), "a+"));
    f.Write("c\n");
  }
  std::string bytes;
  ASSERT_TRUE(plat::ReadWholeFile(path.c_str(), bytes));
  EXPECT_EQ(bytes, "a;1\r\nb\r\nc\r\n");
  plat::TextFile f;
  ASSERT_TRUE(f.Open(t.Write("mixed.txt", "x\r\ny\nlast").c_str(), "r"));
  std::string line, all;
  while (f.ReadLine(line)) all += "[" + line + "]";
  EXPECT_EQ(all, "[x][y][last]");
  EXPECT_FALSE(plat::TextFile().Open((t.path + "/no/such/dir/f.txt").c_str(), "w"));
}

TEST(LocaleSeam, FixedAnswersFailuresAndSmallBuffers) {
  Plat_SetLocaleAnswer(LOCALE_SLIST, "<>|x");
  Plat_SetLocaleAnswer(LOCALE_SDECIMAL, nullptr);
  char buffer[4];
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, buffer, sizeof buffer), 0)
      << "four characters do not fit into four bytes";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, nullptr, 0), 5);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer), 0);
  Plat_SetLocaleAnswer(LOCALE_SLIST, ";");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, ";");
  Plat_ClearLocaleAnswers();
  EXPECT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer), 0);
}

HANDLE Open(const std::string& path, DWORD disposition) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Put(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
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
  EXPECT_EQ(ryntest::ReadFile(path), "keep");

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
  OVERLAPPED high{}, low{};
  high.Offset = 0x40000000u;  // beyond the end of the file
  low.Offset = 7;
  ASSERT_TRUE(LockFileEx(a, exclusiveNow, 0, 1, 0, &high));
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
  const std::string target = t.Write("target.csv", "old"), aside = t.Write("aside.tmp", "new");
  std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
  EXPECT_FALSE(MoveFileExA(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ryntest::ReadFile(target), "old");
  std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_TRUE(MoveFileExA(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(ryntest::ReadFile(target), "new");
  EXPECT_FALSE(PathFileExistsA(aside.c_str()));
}

TEST(FileHandles, AFileReadSharedCanBeWrittenAndDeletedMeanwhile) {
  TempDir t;
  const std::string target = t.Write("t.csv", "old");
  std::FILE* reader = Plat_OpenSharedRead(target.c_str());
  ASSERT_TRUE(reader);
  char first = 0;
  EXPECT_EQ(std::fread(&first, 1, 1, reader), 1u);
  HANDLE writer = CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE) << GetLastError();
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_TRUE(DeleteFileA(target.c_str())) << GetLastError();
  std::fclose(reader);
  EXPECT_FALSE(Plat_OpenSharedRead(target.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
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
