// A pseudo-terminal that the test's identity may not open although a group may, as a serial
// port is on a machine where the user is not in the port's group. As root (which ignores
// permissions) the pty becomes root:dialout 0660 and the process takes the effective identity
// of nobody, without groups, until the object goes; as another user, the pty keeps its group
// and loses its owner's access. Ok() is false, with the reason in Why(), where neither works.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace rivelo::test {

class RefusedPort {
 public:
  explicit RefusedPort(const std::string& path) : path_(path) {
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) {
      why_ = "cannot stat " + path_;
      return;
    }
    original_ = st;
    if (::geteuid() == 0) AsRoot();
    else AsUser();
    if (!why_.empty()) return;
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
      ::close(fd);
      why_ = "the port still opens under the test's identity";
    } else if (errno != EACCES) {
      why_ = "the port fails to open for another reason";
    }
  }
  ~RefusedPort() {
    if (dropped_) {
      (void)::seteuid(0);
      (void)::setegid(egid_);
      (void)::setgroups(groups_.size(), groups_.data());
    }
    if (changed_) {
      (void)::chown(path_.c_str(), original_.st_uid, original_.st_gid);
      (void)::chmod(path_.c_str(), original_.st_mode & 07777);
    }
  }
  RefusedPort(const RefusedPort&) = delete;
  RefusedPort& operator=(const RefusedPort&) = delete;

  bool Ok() const { return why_.empty(); }
  const std::string& Why() const { return why_; }
  // The name of the group that may open the port.
  const std::string& Group() const { return group_; }

 private:
  void AsRoot() {
    const struct group* g = nullptr;
    for (const char* name : {"dialout", "uucp", "tty"}) {
      if ((g = ::getgrnam(name)) != nullptr && g->gr_gid != 0) break;
    }
    if (g == nullptr || g->gr_gid == 0) {
      why_ = "no group to give the port to";
      return;
    }
    group_ = g->gr_name;
    const gid_t gid = g->gr_gid;
    changed_ = true;
    if (::chown(path_.c_str(), 0, gid) != 0 || ::chmod(path_.c_str(), 0660) != 0) {
      why_ = "cannot hand the port to the group";
      return;
    }
    const int count = ::getgroups(0, nullptr);
    groups_.resize(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, groups_.data()) != count) groups_.clear();
    if (::setgroups(0, nullptr) != 0) {
      why_ = "cannot drop the groups";
      return;
    }
    egid_ = ::getegid();
    dropped_ = true;
    if (::setegid(Nobody) != 0 || ::seteuid(Nobody) != 0) why_ = "cannot take another identity";
  }

  void AsUser() {
    const gid_t gid = original_.st_gid;
    std::vector<gid_t> held(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    if (!held.empty() && ::getgroups(static_cast<int>(held.size()), held.data()) < 0) held.clear();
    if (gid == 0 || ::getegid() == gid || std::find(held.begin(), held.end(), gid) != held.end()) {
      why_ = "the user holds the pty's group";
      return;
    }
    const struct group* g = ::getgrgid(gid);
    group_ = g != nullptr ? g->gr_name : std::to_string(gid);
    changed_ = true;
    if (::chmod(path_.c_str(), 0060) != 0) why_ = "cannot take the owner's access away";
  }

  static constexpr uid_t Nobody = 65534;
  std::string path_;
  std::string why_;
  std::string group_;
  struct stat original_ {};
  std::vector<gid_t> groups_;
  gid_t egid_ = 0;
  bool changed_ = false;
  bool dropped_ = false;
};

}  // namespace rivelo::test
