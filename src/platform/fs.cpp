#include "platform/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>

#include "platform/error.h"

namespace tamberlo {

namespace {
std::string reason() { return std::strerror(errno); }
}  // namespace

int createNewFile(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

void writeFileAtomic(const std::string& path, std::string_view bytes) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  std::string tmp;
  int fd = -1;
  // A name already taken (by a planted link, say) is never reused: try another.
  for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
    tmp = path + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(rng() % 100000);
    fd = createNewFile(tmp);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw Error("cannot create the file " + path + ": " + reason());
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      std::string why = reason();
      ::close(fd);
      ::unlink(tmp.c_str());
      throw Error("cannot write the file " + path + ": " + why);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    std::string why = reason();
    ::unlink(tmp.c_str());
    throw Error("cannot write the file " + path + ": " + why);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    std::string why = reason();
    ::unlink(tmp.c_str());
    throw Error("cannot replace the file " + path + ": " + why);
  }
}

std::string readFile(const std::string& path, size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Error("cannot open the file " + path + ": " + reason());
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) throw Error("cannot read the file " + path);
  if (static_cast<size_t>(size) > maxBytes) {
    throw Error("the file " + path + " is too large (" + std::to_string(size) + " bytes)");
  }
  in.seekg(0, std::ios::beg);
  std::string data(static_cast<size_t>(size), '\0');
  in.read(data.data(), size);
  if (!in && !in.eof()) throw Error("cannot read the file " + path);
  data.resize(static_cast<size_t>(in.gcount()));
  return data;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

bool deleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::string executableFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return folderOf(std::string(buf, static_cast<size_t>(n)));
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return path.substr(0, slash + 1);
}

std::string withTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace tamberlo
