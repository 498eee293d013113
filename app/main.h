// The saver shell's shared operations: the start-up routine both faces run
// first, failure reporting, the platform version class and a few file and
// shell helpers. Window handling is in saverwindow.h and glview.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/process.h"
#include "platform/types.h"

inline constexpr size_t kModulePathSize = 260;
inline constexpr size_t kFailureMessageSize = 2000;
inline constexpr size_t kFailureLineSize = 1000;
inline constexpr size_t kAssertTextSize = 1024;

// The companion resource library, loaded by RunStartup and unloaded by the
// OpenGL window's teardown.
extern NativeModule resourceLibrary;

// Loads the companion library (or reports it missing and exits with 1),
// seeds the random generator, corrects CurrentConfigureSheet and runs
// SceneStartup.
void RunStartup();

// The Windows rule for the companion library: the path in upper case with its
// first ".SCR" replaced by ".DLL" and cut after it. False when the path holds
// no ".SCR" or the result does not fit.
bool ScrPathToDllPath(const char* programPath, char* buffer, size_t size);

// The Linux rule: the path with the extension of its last component (if any)
// replaced by ".so". False when the result does not fit.
bool ReplaceExtensionWithSo(const char* programPath, char* buffer, size_t size);

// The message for a missing companion library.
void FormatMissingLibraryMessage(char* buffer, size_t size, const char* libraryPath);

// Returns when result differs from failureValue; otherwise shows what failed
// (program path, source place, call name, the platform's error text) and
// ends the process with 1.
void ReportFailedCall(const char* fileName, int line, int64_t result, int32_t failureValue,
                      const char* callName);

// The message ReportFailedCall shows, cut to fit rather than overflowed.
void FormatFailedCallMessage(char* buffer, size_t size, const char* programPath,
                             const char* fileName, int line, const char* callName,
                             uint32_t errorCode, const char* errorText);

// Beeps and ends the process with 1.
[[noreturn]] void AssertFailed(const char* condition, const char* fileName, int line);

#if defined(__FILE_NAME__)
#define CHRONOVALE_FILE_NAME __FILE_NAME__
#else
#define CHRONOVALE_FILE_NAME __FILE__
#endif

// Checks an essential platform call: a result of 0 ends the process.
#define CHECK_PLATFORM_CALL(result, callName) \
    ReportFailedCall(CHRONOVALE_FILE_NAME, __LINE__, static_cast<int64_t>(result), 0, callName)

#define CHRONOVALE_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : AssertFailed(#condition, CHRONOVALE_FILE_NAME, __LINE__))

// 0..8: the platform family and version as a class (1 Win32s, 2..5 the 9x
// family, 6..8 the NT family, 0 anything else).
int GetOsVersionClass();
int MapOsVersionClass(const OsVersionFields& fields);

// Makes the folder of the running program the current directory.
void SetDirToProgramFolder();

// True when the file can be opened for reading.
bool FileExists(const char* fileName);

// Asks the shell to open a document, program or address.
bool OpenWithShell(const char* target);
