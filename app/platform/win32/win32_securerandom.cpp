// The system's preferred cryptographic generator through BCryptGenRandom.
#include <windows.h>

#include <bcrypt.h>

#include "platform/securerandom.h"

bool FillSecureRandom(void* buffer, size_t size) {
    NTSTATUS status = BCryptGenRandom(nullptr, static_cast<PUCHAR>(buffer), static_cast<ULONG>(size),
                                      BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return BCRYPT_SUCCESS(status);
}
