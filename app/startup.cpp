// RunStartup and the naming rules of the companion resource library.
#include <cstdio>
#include <cstring>

#include "app.h"
#include "crtrand.h"
#include "clock.h"
#include "main.h"
#include "platform/messagebox.h"
#include "platform/resources.h"
#include "product.h"
#include "settings_catalogue.h"

NativeModule resourceLibrary = nullptr;

namespace {
constexpr int kConfigurePageCount = 4;

char UpperCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool ScrPathToDllPath(const char* programPath, char* buffer, size_t size) {
    char upper[kModulePathSize];
    size_t length = strnlen(programPath, sizeof upper);
    if (length >= sizeof upper) return false;
    for (size_t i = 0; i <= length; ++i) upper[i] = UpperCase(programPath[i]);

    char* match = strstr(upper, ".SCR");
    if (!match) return false;
    memcpy(match, ".DLL", 4);
    match[4] = '\0';
    size_t resultLength = static_cast<size_t>(match + 4 - upper);
    if (resultLength + 1 > size) return false;
    memcpy(buffer, upper, resultLength + 1);
    return true;
}

bool ReplaceExtensionWithSo(const char* programPath, char* buffer, size_t size) {
    size_t length = strlen(programPath);
    const char* lastSlash = strrchr(programPath, '/');
    const char* name = lastSlash ? lastSlash + 1 : programPath;
    const char* dot = strrchr(name, '.');
    // A leading dot names a hidden file, not an extension.
    size_t stem = (dot && dot != name) ? static_cast<size_t>(dot - programPath) : length;
    if (stem + 4 > size) return false;
    memcpy(buffer, programPath, stem);
    memcpy(buffer + stem, ".so", 4);
    return true;
}

void FormatMissingLibraryMessage(char* buffer, size_t size, const char* libraryPath) {
    snprintf(buffer, size,
             "The program \"%s\" can not run because the following file is missing:\r\n\r\n%s",
             kProduct.productName, libraryPath);
}

void RunStartup() {
    char programPath[kModulePathSize] = "";
    GetProgramPath(programPath, sizeof programPath);

    char libraryPath[kModulePathSize] = "";
    bool named = CompanionLibraryPath(programPath, libraryPath, sizeof libraryPath);
    resourceLibrary = named ? LoadResourceLibrary(libraryPath) : nullptr;
    if (!resourceLibrary) {
        char message[kFailureMessageSize];
        // With no usable name the message names the program path itself.
        FormatMissingLibraryMessage(message, sizeof message, named ? libraryPath : programPath);
        ShowMessageBox(message, nullptr, MessageIcon::Error, false);
        ExitProgram(1);
    }

    uint32_t seed = static_cast<uint32_t>(Seed.Get());
    SeedRandom(seed != 0 ? seed : ActiveClock().TickMs());

    if (CurrentConfigureSheet.Get() >= kConfigurePageCount) CurrentConfigureSheet.Set(0);

    SceneStartup();
}
