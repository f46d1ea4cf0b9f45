// Named objects on Linux: one file per name in a per-user directory on
// tmpfs. Holders keep a shared flock on the file; creators and openers look
// for "no holder left" with a non-blocking exclusive lock. All of it runs
// under a directory-wide lock so that looking and locking is one step.
#include "ipc.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace plat {
namespace {

// Local\ and Global\ name the same objects here: there is one session.
// Everything but letters, digits, '.', '_' and '-' is escaped; very long
// names keep a prefix and a hash, within the file name limit.
std::string fileName(char kind, const char* name) {
  if (!strncmp(name, "Local\\", 6)) name += 6;
  else if (!strncmp(name, "Global\\", 7)) name += 7;
  std::string out(1, kind);
  out += '.';
  uint64_t hash = 14695981039346656037ull;
  for (const char* p = name; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    hash = (hash ^ c) * 1099511628211ull;
    if (isalnum(c) || c == '.' || c == '_' || c == '-') {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  if (out.size() > 200) {
    char tail[24];
    snprintf(tail, sizeof tail, "~%016llx", static_cast<unsigned long long>(hash));
    out = out.substr(0, 180) + tail;
  }
  return out;
}

class DirectoryLock {
 public:
  explicit DirectoryLock(const std::string& dir)
      : fd_(open((dir + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~DirectoryLock() {
    if (fd_ >= 0) close(fd_);
  }

 private:
  int fd_;
};

// True when no process holds the object file at `fd` any more.
bool unheld(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

// Objects are dropped by their last holder; those of processes that ended
// without closing them are removed here, once per process.
void sweep(const std::string& dir) {
  DirectoryLock lock(dir);
  DIR* listing = opendir(dir.c_str());
  if (!listing) return;
  while (dirent* entry = readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    int fd = openat(dirfd(listing), entry->d_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    if (unheld(fd)) unlinkat(dirfd(listing), entry->d_name, 0);
    close(fd);
  }
  closedir(listing);
}

// Never destroyed: objects may be closed during static destruction.
const std::string& directory() {
  static const std::string* dir = [] {
    struct stat st {};
    std::string base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    auto* d = new std::string(base + "/norvia-ipc-" + std::to_string(getuid()));
    mkdir(d->c_str(), 0700);
    sweep(*d);
    return d;
  }();
  return *dir;
}

size_t pageRounded(size_t size) {
  size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return (size + page - 1) / page * page;
}

// Each name is open at most once per process; the registry lock is always
// taken before the directory lock.
struct Registry {
  std::mutex mutex;
  std::unordered_map<std::string, std::weak_ptr<SharedFile>> byPath;
};

Registry& registry() {
  static Registry* r = new Registry;
  return *r;
}

Opened fail(int fd, DWORD error) {
  if (fd >= 0) close(fd);
  SetLastError(error);
  return {};
}

bool mapData(SharedFile& file) {
  int fd = unlockedCopy(file.fd, true);
  file.data = fd < 0 ? MAP_FAILED : mmap(nullptr, file.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (fd >= 0) close(fd);
  if (file.data != MAP_FAILED) return true;
  file.data = nullptr;
  return false;
}

}  // namespace

int unlockedCopy(int fd, bool write) {
  return open(("/proc/self/fd/" + std::to_string(fd)).c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
}

Opened openShared(char kind, const char* name, size_t size, bool create, bool wantData,
                  const std::function<void(void*)>& init) {
  auto file = std::make_shared<SharedFile>();
  if (!name) {
    file->fd = memfd_create("norvia", MFD_CLOEXEC);
    file->size = pageRounded(size);
    if (file->fd < 0 || ftruncate(file->fd, static_cast<off_t>(file->size)) != 0 ||
        (wantData && !mapData(*file)))
      return fail(-1, Plat_ErrorFromErrno(errno));
    if (init) init(file->data);
    return {file, false};
  }

  std::string path = directory() + "/" + fileName(kind, name);
  std::lock_guard registryLock(registry().mutex);
  auto found = registry().byPath.find(path);
  if (found != registry().byPath.end())
    if (auto open = found->second.lock()) return {open, true};

  DirectoryLock directoryLock(directory());
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
  if (fd < 0) return fail(-1, Plat_ErrorFromErrno(errno));
  bool existed = !unheld(fd);
  if (!existed) {
    // Nobody holds it: a leftover of processes that are gone.
    if (!create) {
      unlink(path.c_str());
      return fail(fd, ERROR_FILE_NOT_FOUND);
    }
    if (ftruncate(fd, 0) != 0 || ftruncate(fd, static_cast<off_t>(pageRounded(size))) != 0)
      return fail(fd, Plat_ErrorFromErrno(errno));
  }
  struct stat st {};
  fstat(fd, &st);
  file->fd = fd;
  file->size = static_cast<size_t>(st.st_size);
  if (wantData && !mapData(*file)) {
    file->fd = -1;
    return fail(fd, Plat_ErrorFromErrno(errno));
  }
  if (!existed && init) init(file->data);
  flock(fd, LOCK_SH);  // from exclusive, or fresh beside other holders: never waits
  file->path = path;
  registry().byPath[path] = file;
  return {file, existed};
}

SharedFile::~SharedFile() {
  if (data && owned == 0) munmap(data, size);
  if (!path.empty()) {
    std::lock_guard registryLock(registry().mutex);
    auto found = registry().byPath.find(path);
    if (found != registry().byPath.end() && found->second.expired()) registry().byPath.erase(found);
    DirectoryLock directoryLock(directory());
    // The last holder anywhere takes the name away with it.
    if (unheld(fd)) unlink(path.c_str());
  }
  if (fd >= 0) close(fd);
}

}  // namespace plat
