#include "platformdevice.h"

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t firstGroupGuess = 64;

bool inGroupNow(gid_t gid)
{
    if (getegid() == gid)
        return true;
    const int n = getgroups(0, nullptr);
    std::vector<gid_t> groups(std::size_t(n > 0 ? n : 0));
    if (n > 0 && getgroups(n, groups.data()) == n)
        for (gid_t g : groups)
            if (g == gid)
                return true;
    return false;
}

// Whether the user database already lists this user in the group: then only
// the login session is older than the membership.
bool inGroupOnRecord(gid_t gid)
{
    const passwd *pw = getpwuid(getuid());
    if (!pw)
        return false;
    int n = int(firstGroupGuess);
    std::vector<gid_t> groups(firstGroupGuess);
    if (getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0) {
        groups.resize(std::size_t(n));
        if (getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0)
            return false;
    }
    for (int i = 0; i < n; ++i)
        if (groups[std::size_t(i)] == gid)
            return true;
    return false;
}

} // namespace

std::string platformDevice::portPath(const std::string &name)
{
    return !name.empty() && name.front() == '/' ? name : "/dev/" + name;
}

bool platformDevice::exists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

platformDevice::Access platformDevice::access(const std::string &path)
{
    Access a;
    if (::access(path.c_str(), R_OK | W_OK) == 0)
        return a;
    a.error = errno;
    struct stat st;
    if (a.error != EACCES || ::stat(path.c_str(), &st) != 0)
        return a;
    a.refused = true;
    a.mode = st.st_mode & 07777;
    const group *g = ::getgrgid(st.st_gid);
    a.group = g ? g->gr_name : std::to_string(st.st_gid);
    const passwd *pw = ::getpwuid(st.st_uid);
    a.owner = pw ? pw->pw_name : std::to_string(st.st_uid);
    a.groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    a.inGroupNow = inGroupNow(st.st_gid);
    a.inGroupOnRecord = a.groupMayUse && !a.inGroupNow && inGroupOnRecord(st.st_gid);
    return a;
}

// Qt notices a hung-up line only when it next reads or writes, and its text
// then may be that of an unrelated earlier call, so the line itself is asked.
int platformDevice::lineLost(std::intptr_t handle)
{
    termios t;
    if (handle < 0 || ::tcgetattr(int(handle), &t) == 0)
        return 0;
    return errno == ENOTTY ? 0 : errno;
}
