#include "support/HungFolder.h"

#include <fcntl.h>
#include <sys/fanotify.h>
#include <unistd.h>

namespace kvt::test {

HungFolder::HungFolder(const std::string& folder) {
    group_ = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY | O_CLOEXEC);
    if (group_ >= 0 && fanotify_mark(group_, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD,
                                     AT_FDCWD, folder.c_str()) != 0) {
        close(group_);
        group_ = -1;
    }
}

HungFolder::~HungFolder() {
    if (group_ < 0) return;
    answer();
    close(group_);  // the kernel lets later opens through
}

void HungFolder::answer() {
    alignas(fanotify_event_metadata) char events[4096];
    for (ssize_t got; (got = read(group_, events, sizeof events)) > 0;) {
        auto* event = reinterpret_cast<fanotify_event_metadata*>(events);
        for (; FAN_EVENT_OK(event, got); event = FAN_EVENT_NEXT(event, got)) {
            fanotify_response response{event->fd, FAN_ALLOW};
            [[maybe_unused]] ssize_t written = write(group_, &response, sizeof response);
            close(event->fd);
        }
    }
}

}  // namespace kvt::test
