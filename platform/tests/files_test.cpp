// Files, paths, text files and the two seams, as the command uses them.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/locale.h"
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
    std::filesystem::remove_all(path, ec);
  }
};

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
  FILE* raw = std::fopen((t.path + "/mixed.txt").c_str(), "wb");
  std::fputs("x\r\ny\nlast", raw);
  std::fclose(raw);
  plat::TextFile f;
  ASSERT_TRUE(f.Open((t.path + "/mixed.txt").c_str(), "r"));
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

TEST(ClockSeam, FixedNowConvertsToLocalTime) {
  Plat_SetFixedTime(true, 1709820309);  // 2024-03-07 14:05:09 UTC
  EXPECT_EQ(_time64(nullptr), 1709820309);
  __time64_t now = _time64(nullptr);
  struct tm local {};
  ASSERT_EQ(_localtime64_s(&local, &now), 0);
  EXPECT_EQ(local.tm_year, 124);
  Plat_SetFixedTime(false, 0);
  EXPECT_GT(_time64(nullptr), 1709820309);
}

}  // namespace
