#include "ipc_test_util.h"

#include <cstring>
#include <vector>

using namespace ipctest;

namespace {

struct Kind {
  const char* name;
  HANDLE (*create)(const char*);
  HANDLE (*open)(const char*);
};

const Kind kinds[] = {
    {"mapping", [](const char* n) { return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024, n); },
     [](const char* n) { return OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, n); }},
    // Owned by its creator: the name goes with the last handle all the same.
    {"mutex", [](const char* n) { return CreateMutexA(nullptr, TRUE, n); },
     [](const char* n) { return OpenMutexA(MUTEX_ALL_ACCESS, FALSE, n); }},
    {"event", [](const char* n) { return CreateEventA(nullptr, TRUE, FALSE, n); },
     [](const char* n) { return OpenEventA(EVENT_ALL_ACCESS, FALSE, n); }},
};

TEST(NamedObjects, LiveWhileAnyHandleIsOpen) {
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    std::string name = uniqueName(std::string(kind.name) + " a/b:c%d.e");
    EXPECT_EQ(kind.open(name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    HANDLE first = kind.create(name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = kind.create(name.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    HANDLE opened = kind.open(name.c_str());
    ASSERT_NE(opened, nullptr);
    CloseHandle(first);
    CloseHandle(second);
    HANDLE third = kind.create(name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "kept by the opened handle";
    CloseHandle(third);
    CloseHandle(opened);
    EXPECT_EQ(kind.open(name.c_str()), nullptr) << "gone with its last handle";
    HANDLE fresh = kind.create(name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(fresh);
  }
}

TEST(Mapping, NameGoesWithTheLastHandleViewsStay) {
  std::string name = uniqueName("view");
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, name.c_str());
  auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  strcpy(view, "kept");
  CloseHandle(mapping);
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()), nullptr);
  HANDLE again = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, name.c_str());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  auto* other = static_cast<char*>(MapViewOfFile(again, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  EXPECT_STREQ(other, "");
  EXPECT_STREQ(view, "kept");
  UnmapViewOfFile(other);
  CloseHandle(again);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view)) << "a view is unmapped once";
}

TEST(Mapping, RegionSizeIsWholePages) {
  const SIZE_T page = 4096;
  for (DWORD size : {1u, 1024u, 4096u, 4097u, 10000u}) {
    SCOPED_TRACE(size);
    std::string name = uniqueName("pages");
    HANDLE created = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
    HANDLE opened = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    for (HANDLE h : {created, opened}) {
      auto* view = static_cast<char*>(MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0));
      MEMORY_BASIC_INFORMATION info{};
      ASSERT_EQ(VirtualQuery(view, &info, sizeof info), sizeof info);
      EXPECT_EQ(info.BaseAddress, view);
      EXPECT_EQ(info.RegionSize, (size + page - 1) / page * page);
      ASSERT_EQ(VirtualQuery(view + size - 1, &info, sizeof info), sizeof info);
      EXPECT_EQ(info.BaseAddress, view + (size - 1) / page * page) << "from the page of the address";
      EXPECT_EQ(info.RegionSize, page);
      UnmapViewOfFile(view);
    }
    CloseHandle(opened);
    CloseHandle(created);
  }
}

class MappingHolder : public ChildEnd {};
INSTANTIATE_TEST_SUITE_P(KilledOrExited, MappingHolder, ::testing::Bool());

TEST_P(MappingHolder, EndedHolderLeavesNothingBehind) {
  std::string name = uniqueName("left");
  Ready ready;
  Child child("mapping " + q(name) + " 1024 " + q(ready.name()) + suffix());
  ASSERT_TRUE(ready.wait());  // its data, seen while it runs: mipc/src/msharedmem_test.cpp
  end(child);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024, name.c_str());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::vector<char>(view, view + 1024), std::vector<char>(1024, 0));
  UnmapViewOfFile(view);
  CloseHandle(mapping);
}

}  // namespace
