// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/posix/deviceaccess.h"

#include <cstdio>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string groupName(gid_t gid) {
  const group *g = ::getgrgid(gid);
  return g ? g->gr_name : std::to_string(gid);
}

std::string userName(uid_t uid) {
  const passwd *p = ::getpwuid(uid);
  return p ? p->pw_name : std::to_string(uid);
}

// Whether the user is listed in the group, as the next login will see it.
bool isListedIn(const std::string &user, gid_t primary, gid_t gid) {
  int count = 64;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  if (::getgrouplist(user.c_str(), primary, groups.data(), &count) < 0) {
    groups.resize(static_cast<std::size_t>(count));
    ::getgrouplist(user.c_str(), primary, groups.data(), &count);
  }
  groups.resize(static_cast<std::size_t>(count));
  for (const gid_t g : groups)
    if (g == gid)
      return true;
  return false;
}

} // namespace

std::string accessAdvice(const std::filesystem::path &device) {
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0)
    return "check its owner and mode";
  const std::string group = groupName(st.st_gid);
  const std::string user = userName(::geteuid());
  const bool groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  if (groupMayUse && st.st_gid != 0) {
    if (isListedIn(user, ::getegid(), st.st_gid))
      return "your user is in its group " + group +
             " since this session began: log out and in again";
    return "add your user to its group " + group + " (sudo adduser " + user + " " + group +
           "), then log out and in again";
  }
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
  return "it belongs to " + userName(st.st_uid) + ":" + group + " with mode " + mode +
         ", which no group opens: ask the administrator to give it to the dialout group "
         "with mode 0660 (a udev rule)";
}
