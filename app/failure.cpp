// Ending the process on a failed essential platform call or a failed
// assertion. The message is built in fixed buffers and cut, never overflowed,
// when a long path meets a long platform text.
#include <cstdio>
#include <cstring>

#include "main.h"
#include "platform/messagebox.h"

namespace {
// Appends text to buffer (holding used characters), cutting it to fit.
void Append(char* buffer, size_t size, size_t* used, const char* text) {
    if (*used + 1 >= size) return;
    size_t room = size - 1 - *used;
    size_t length = strnlen(text, room);
    memcpy(buffer + *used, text, length);
    *used += length;
    buffer[*used] = '\0';
}
}  // namespace

void FormatFailedCallMessage(char* buffer, size_t size, const char* programPath,
                             const char* fileName, int line, const char* callName,
                             uint32_t errorCode, const char* errorText) {
    if (size == 0) return;
    buffer[0] = '\0';
    size_t used = 0;
    char formatted[kFailureLineSize];

    Append(buffer, size, &used, programPath);
    Append(buffer, size, &used, "\r\n\r\n");
    snprintf(formatted, sizeof formatted, "In file %s on line %d:", fileName, line);
    Append(buffer, size, &used, formatted);
    Append(buffer, size, &used, "\r\n\r\n");
    snprintf(formatted, sizeof formatted, "%s failed with error %u: %s", callName,
             static_cast<unsigned>(errorCode), errorText);
    Append(buffer, size, &used, formatted);
}

void ReportFailedCall(const char* fileName, int line, int64_t result, int32_t failureValue,
                      const char* callName) {
    if (result != failureValue) return;

    // Read the error code first: the calls below may change it.
    uint32_t errorCode = LastPlatformError();
    char programPath[kModulePathSize] = "";
    GetProgramPath(programPath, sizeof programPath);
    char errorText[kFailureLineSize];
    PlatformErrorText(errorCode, errorText, sizeof errorText);

    char message[kFailureMessageSize];
    FormatFailedCallMessage(message, sizeof message, programPath, fileName, line, callName,
                            errorCode, errorText);
    ShowMessageBox(message, nullptr, MessageIcon::Error, false);
    ExitProgram(1);
}

void AssertFailed(const char* condition, const char* fileName, int line) {
    if (condition && fileName) {
        // The text is formatted for a debugger's eyes only; nothing shows it.
        char text[kAssertTextSize];
        snprintf(text, sizeof text, "%s (%d) Assert: %s\n", fileName, line, condition);
        PlatformBeep(BeepKind::Exclamation);
    }
    ExitProgram(1);
}
