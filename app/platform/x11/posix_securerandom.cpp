// The kernel's generator through getrandom. It is asked never to wait: if
// it is not ready yet (very early in boot) the caller goes without.
#include <errno.h>
#include <sys/random.h>

#include <cstdint>

#include "platform/securerandom.h"

bool FillSecureRandom(void* buffer, size_t size) {
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    size_t filled = 0;
    while (filled < size) {
        ssize_t got = getrandom(bytes + filled, size - filled, GRND_NONBLOCK);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        filled += static_cast<size_t>(got);
    }
    return true;
}
