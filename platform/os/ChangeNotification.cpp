#include "platform/os/ChangeNotification.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "platform/os/KernelObjectInternal.h"

namespace qv::os {

namespace {

constexpr DWORD ErrorPathNotFound = 3;
constexpr DWORD ErrorAccessDenied = 5;

uint32_t InotifyMask(DWORD Filter)
{
  uint32_t mask = IN_DELETE_SELF | IN_MOVE_SELF;
  if (Filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME))
    mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
  if (Filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) mask |= IN_ATTRIB;
  if (Filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)) mask |= IN_MODIFY | IN_CLOSE_WRITE;
  return mask;
}

class TChangeObject : public TKernelObject {
public:
  ~TChangeObject() override
  {
    if (Fd >= 0) close(Fd);
  }
  bool Waitable() const override { return true; }
  int WaitFd() override { return Fd; }
  // Reads what has come (without blocking) and keeps whether any of it counts.
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    Drain();
    return Pending;
  }

  void AddWatch(const std::string& Path, bool Top)
  {
    const int wd = inotify_add_watch(Fd, Path.c_str(), Mask | IN_ONLYDIR | (Top ? 0 : IN_DONT_FOLLOW));
    if (wd < 0) return;
    Paths[wd] = Path;
    if (!Subtree) return;
    DIR* dir = opendir(Path.c_str());
    if (!dir) return;
    while (const dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      if (e->d_type == DT_DIR) AddWatch(Path + "/" + name, false);
    }
    closedir(dir);
  }

  void Drain()
  {
    alignas(inotify_event) char buffer[8192];
    for (;;) {
      const ssize_t n = read(Fd, buffer, sizeof buffer);
      if (n <= 0) return;
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        if (e->mask & IN_Q_OVERFLOW) {
          Pending = true;
          continue;
        }
        if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
          if (Paths[e->wd] == Root) Pending = true;
          continue;
        }
        if (e->mask & IN_IGNORED) {
          Paths.erase(e->wd);
          continue;
        }
        const bool folder = (e->mask & IN_ISDIR) != 0;
        if (e->mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) {
          if (folder && Subtree && (e->mask & (IN_CREATE | IN_MOVED_TO)) && e->len)
            AddWatch(Paths[e->wd] + "/" + e->name, false);
          if (Filter & (folder ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME)) Pending = true;
        } else if (e->mask & IN_ATTRIB) {
          if (Filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) Pending = true;
        } else if (e->mask & (IN_MODIFY | IN_CLOSE_WRITE)) {
          if (Filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)) Pending = true;
        }
      }
    }
  }

  int Fd = -1;
  std::string Root;
  bool Subtree = false;
  DWORD Filter = 0;
  uint32_t Mask = 0;
  std::map<int, std::string> Paths;
  bool Pending = false;  // under LocalStateLock
};

}  // namespace

}  // namespace qv::os

HANDLE FindFirstChangeNotificationA(LPCSTR PathName, BOOL WatchSubtree, DWORD NotifyFilter)
{
  using namespace qv::os;
  if (!PathName || NotifyFilter == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string path = PathName;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    SetLastError(errno == EACCES ? ErrorAccessDenied : ErrorPathNotFound);
    return INVALID_HANDLE_VALUE;
  }
  auto object = std::make_shared<TChangeObject>();
  object->Fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (object->Fd < 0) {
    SetLastError(Win32ErrorOfErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  object->Root = path;
  object->Subtree = WatchSubtree != FALSE;
  object->Filter = NotifyFilter;
  object->Mask = InotifyMask(NotifyFilter);
  object->AddWatch(path, true);
  if (object->Paths.empty()) {
    SetLastError(ErrorAccessDenied);
    return INVALID_HANDLE_VALUE;
  }
  return InsertObject(object);
}

BOOL FindNextChangeNotification(HANDLE ChangeHandle)
{
  using namespace qv::os;
  auto object = ObjectAs<TChangeObject>(ChangeHandle);
  if (!object) return FALSE;
  std::lock_guard<std::mutex> lock(LocalStateLock());
  object->Drain();
  object->Pending = false;
  return TRUE;
}

BOOL FindCloseChangeNotification(HANDLE ChangeHandle)
{
  if (!qv::os::ObjectAs<qv::os::TChangeObject>(ChangeHandle)) return FALSE;
  return CloseHandle(ChangeHandle);
}
