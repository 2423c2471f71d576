#include "control/io/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "control/engine_error.h"

namespace engine::xls {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  std::string why;
  switch (err) {
    case ENOENT: why = "The file '" + path + "' was not found."; break;
    case EACCES:
    case EPERM: why = "Permission denied: cannot " + what + " '" + path + "'."; break;
    case EISDIR: why = "'" + path + "' is a folder, not a file."; break;
    case ENOSPC: why = "The disk is full: cannot " + what + " '" + path + "'."; break;
    case EROFS: why = "The file system is read-only: cannot " + what + " '" + path + "'."; break;
    case ENOTDIR: why = "The folder of '" + path + "' was not found."; break;
    case ENAMETOOLONG: why = "The file name '" + path + "' is too long."; break;
    default: why = "Cannot " + what + " '" + path + "': " + std::strerror(err) + "."; break;
  }
  throw EngineError(kErrFile, why);
}

std::string Folder(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names after following symbolic links, even when the last link dangles.
std::string ResolveTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char buf[PATH_MAX];
    ssize_t n = readlink(current.c_str(), buf, sizeof buf - 1);
    if (n < 0) return current;
    std::string link(buf, static_cast<std::size_t>(n));
    current = link[0] == '/' ? link : Folder(current) + "/" + link;
  }
  throw EngineError(kErrFile, "Cannot write '" + path + "': too many symbolic links.");
}

}  // namespace

MappedBuffer ReadWholeFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("read", path, errno);
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int e = errno;
    close(fd);
    Fail("read", path, e);
  }
  if (S_ISDIR(st.st_mode)) {
    close(fd);
    Fail("read", path, EISDIR);
  }
  // Read straight into the result, sized for the whole file and a byte more, so that the end
  // shows at once; a file that grows meanwhile is read to its new end, one that shrinks ends
  // where its bytes do. The buffer is mapped memory that nothing clears before the read fills
  // it (a file that another program changes meanwhile is read as the reads find it; it is not
  // mapped itself, which would fault on a file cut short under us).
  MappedBuffer data;
  try {
    data = MappedBuffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 1);
    for (std::size_t used = 0;;) {
      if (used == data.capacity()) data.Grow(data.capacity() * 2);
      ssize_t n = read(fd, data.data() + used, data.capacity() - used);
      if (n < 0) {
        if (errno == EINTR) continue;
        int e = errno;
        close(fd);
        Fail("read", path, e);
      }
      if (n == 0) break;
      used += static_cast<std::size_t>(n);
      data.SetSize(used);
    }
  } catch (const std::bad_alloc&) {
    close(fd);
    Fail("read", path, ENOMEM);
  }
  close(fd);
  return data;
}

void WriteFileAtomically(const std::string& path, const void* data, std::size_t size) {
  if (path.empty()) throw EngineError(kErrFile, "No file name was given.");
  std::string target = ResolveTarget(path);
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) Fail("write", path, EISDIR);
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  std::string temp = Folder(target) + "/." + BaseName(target) + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) Fail("write", path, errno);
  auto abandon = [&](int err) {
    close(fd);
    unlink(temp.c_str());
    Fail("write", path, err);
  };
  const auto* p = static_cast<const std::uint8_t*>(data);
  std::size_t left = size;
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      abandon(errno);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (fchmod(fd, mode) != 0) abandon(errno);
  if (exists) {
    // Keep the owner and group where we may; a failure here is not worth losing the save.
    if (fchown(fd, st.st_uid, st.st_gid) != 0) {
    }
  }
  if (fsync(fd) != 0) abandon(errno);
  if (close(fd) != 0) {
    int e = errno;
    unlink(temp.c_str());
    Fail("write", path, e);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    int e = errno;
    unlink(temp.c_str());
    Fail("write", path, e);
  }
  // Make the rename itself durable.
  int dir = open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}

bool HeldByAnotherProgram(const std::string& path) {
  std::string target = ResolveTarget(path);
  struct stat st;
  if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::string lock = Folder(target) + "/.~lock." + BaseName(target) + "#";
  if (access(lock.c_str(), F_OK) == 0) return true;
  int fd = open(target.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool held = false;
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;
  if (fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK) held = true;
  if (!held) {
    // flock locks are separate from record locks: try to take a shared one without waiting.
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) held = true;
    } else {
      flock(fd, LOCK_UN);
    }
  }
  close(fd);
  return held;
}

}  // namespace engine::xls
