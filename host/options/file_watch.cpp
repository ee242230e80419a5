// The change watch of file_watch.h. On Linux one inotify queue, read without
// waiting at every look: each watched path holds a watch on every folder from
// the root down to its own (entries made, removed, renamed or changed in
// attributes; the folder's own removal or move) and one on the file itself
// (attributes, removal, and for its content writes through any of its
// names). An event that concerns a path drops its watches; the next look
// makes them anew, so a folder replaced on the way is watched from then on.
// Not seen, as by the file's times not always either: writes through a shared
// memory map, and a file system mounted over a folder on the way.
#include "options/file_watch.h"

#ifdef __linux__

#include <linux/magic.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <vector>

namespace standin {
namespace {

constexpr uint32_t kFolderEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr uint32_t kIdentityEvents = IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr uint32_t kContentEvents = kIdentityEvents | IN_MODIFY | IN_CLOSE_WRITE;
// Reported whatever was asked for.
constexpr uint32_t kAlwaysReported = IN_IGNORED | IN_UNMOUNT | IN_Q_OVERFLOW;

// A watch and, for a folder, the name in it that leads on to the path. A
// file watched for two purposes reports the events of both: those not
// counted for this path's purpose are passed over.
struct Watched {
    int watch;
    std::string entry;  // empty for the file itself
    uint32_t counted;
};

struct WatchedPath {
    std::vector<Watched> watches;
    bool complete = false;  // false: the path cannot be watched as it stands
};

struct Watcher {
    int queue = -1;
    bool unusable = false;      // the system gave no queue, or reading it failed
    bool forkedCopy = false;    // this process is a child and shares its parent's queue
    std::map<std::string, WatchedPath> paths[2];  // by purpose
};

Watcher& watcher() {
    static Watcher kept;
    return kept;
}

// A child must not take its parent's events: it makes a queue of its own.
void leaveParentsQueue() {
    Watcher& kept = watcher();
    if (kept.queue >= 0) close(kept.queue);
    kept.queue = -1;
    kept.forkedCopy = true;
}

bool ready(Watcher& kept) {
    if (kept.forkedCopy) {
        for (auto& paths : kept.paths) paths.clear();
        kept.forkedCopy = false;
    }
    if (kept.queue >= 0) return true;
    if (kept.unusable) return false;
    kept.queue = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (kept.queue < 0) {
        kept.unusable = true;
        return false;
    }
    static const bool childrenLeave = pthread_atfork(nullptr, nullptr, leaveParentsQueue) == 0;
    if (!childrenLeave) {
        close(kept.queue);
        kept.queue = -1;
        kept.unusable = true;
    }
    return kept.queue >= 0;
}

void giveUp(Watcher& kept) {
    close(kept.queue);
    kept.queue = -1;
    kept.unusable = true;
    for (auto& paths : kept.paths) paths.clear();
}

// File systems whose every change passes through this machine's kernel (a
// network share may be changed from another machine without a report).
bool changedOnlyHere(const std::string& folder) {
    struct statfs system;
    if (statfs(folder.c_str(), &system) != 0) return false;
    switch (static_cast<uint32_t>(system.f_type)) {
        case EXT4_SUPER_MAGIC:
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
            return true;
        default:
            return false;
    }
}

std::vector<std::string> namesOf(const std::string& path) {
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        if (slash > pos) names.push_back(path.substr(pos, slash - pos));
        pos = slash + 1;
    }
    return names;
}

// Watches the folders on the way to path and the file. The watches come
// before the caller reads the file, so nothing between goes unreported.
WatchedPath watchPath(int queue, const std::string& path, WatchedFor purpose) {
    WatchedPath watched;
    const std::vector<std::string> names = namesOf(path);
    if (path.empty() || path[0] != '/' || names.empty()) return watched;
    std::string folder;
    for (const std::string& name : names) {
        if (name == "." || name == "..") return watched;
        const std::string here = folder.empty() ? "/" : folder;
        const int watch = inotify_add_watch(queue, here.c_str(), kFolderEvents | IN_ONLYDIR | IN_DONT_FOLLOW);
        // A missing folder leaves the watches above it: its making is reported.
        if (watch < 0) return watched;
        watched.watches.push_back(Watched{watch, name, kFolderEvents});
        if (&name != &names.back()) folder += "/" + name;
    }
    if (!changedOnlyHere(folder.empty() ? "/" : folder)) return watched;
    const uint32_t counted = purpose == WatchedFor::kContent ? kContentEvents : kIdentityEvents;
    const int file = inotify_add_watch(queue, path.c_str(), counted | IN_DONT_FOLLOW | IN_MASK_ADD);
    if (file >= 0) {
        watched.watches.push_back(Watched{file, std::string(), counted});
    } else if (errno != ENOENT) {
        return watched;
    }
    // A symbolic link's target may change without a report here.
    struct stat status;
    if (lstat(path.c_str(), &status) == 0 ? !S_ISREG(status.st_mode) : errno != ENOENT) return watched;
    watched.complete = true;
    return watched;
}

bool concerns(const WatchedPath& watched, const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) return true;
    for (const Watched& one : watched.watches) {
        if (one.watch != event.wd || (event.mask & (one.counted | kAlwaysReported)) == 0) continue;
        if (event.len == 0 || one.entry.empty() || one.entry == event.name) return true;
    }
    return false;
}

void forgetPathsConcerned(Watcher& kept, const inotify_event& event) {
    for (auto& paths : kept.paths) {
        for (auto path = paths.begin(); path != paths.end();) {
            path = concerns(path->second, event) ? paths.erase(path) : std::next(path);
        }
    }
}

// Takes every event waiting; false when the queue cannot be read.
bool takeEvents(Watcher& kept) {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = read(kept.queue, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
        if (got == 0) return false;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            forgetPathsConcerned(kept, *event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

}  // namespace

SinceLastLook lookAt(const std::string& path, WatchedFor purpose) {
    Watcher& kept = watcher();
    if (!ready(kept)) return SinceLastLook::kUnwatched;
    if (!takeEvents(kept)) {
        giveUp(kept);
        return SinceLastLook::kUnwatched;
    }
    std::map<std::string, WatchedPath>& paths = kept.paths[static_cast<int>(purpose)];
    auto known = paths.find(path);
    if (known != paths.end()) {
        return known->second.complete ? SinceLastLook::kNothing : SinceLastLook::kUnwatched;
    }
    known = paths.emplace(path, watchPath(kept.queue, path, purpose)).first;
    return known->second.complete ? SinceLastLook::kSomething : SinceLastLook::kUnwatched;
}

}  // namespace standin

#else

namespace standin {

SinceLastLook lookAt(const std::string&, WatchedFor) { return SinceLastLook::kUnwatched; }

}  // namespace standin

#endif
