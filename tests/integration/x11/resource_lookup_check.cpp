// Loads companion libraries built for the test with the project's resource
// build rule and checks what the saver's loader finds in them: each resource
// by type (in any case) and id with its exact bytes, nothing for other
// types or ids, and no library at all where the table is missing.
// Arguments: the fixture library, the library without a table, the files
// the fixture embeds (two of them).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/resources.h"

namespace {
int failures = 0;

void Expect(bool condition, const char* what) {
    if (!condition) {
        ++failures;
        fprintf(stderr, "FAILED: %s\n", what);
    }
}

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Holds(NativeModule library, const char* type, int id, const std::string& expected) {
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindResourceBytes(library, type, id, &data, &size)) return false;
    return size == expected.size() && memcmp(data, expected.data(), size) == 0;
}

bool Finds(NativeModule library, const char* type, int id) {
    const unsigned char* data = nullptr;
    size_t size = 0;
    return FindResourceBytes(library, type, id, &data, &size);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: resource_lookup_check FIXTURE.so NOTABLE.so FILE142 FILE119\n");
        return 2;
    }
    std::string picture = ReadFile(argv[3]);
    std::string page = ReadFile(argv[4]);
    Expect(!picture.empty() && !page.empty(), "the fixture files can be read");

    NativeModule library = LoadResourceLibrary(argv[1]);
    Expect(library != nullptr, "the fixture library loads");
    if (library) {
        Expect(Holds(library, "JPG", 142, picture), "JPG 142 has the embedded bytes");
        Expect(Holds(library, "jpg", 142, picture), "type names match in any case");
        Expect(Holds(library, "PAGE", 119, page), "PAGE 119 has the embedded bytes");
        Expect(Finds(library, "EMPTY", 7), "an empty file is a resource of size 0");
        Expect(!Finds(library, "JPG", 119), "an id of another type is not found");
        Expect(!Finds(library, "PAGE", 142), "a type with another id is not found");
        Expect(!Finds(library, "JPGX", 142), "a longer type name is another type");
        Expect(!Finds(library, "JP", 142), "a shorter type name is another type");
        FreeResourceLibrary(library);
    }

    Expect(LoadResourceLibrary(argv[2]) == nullptr, "a shared object without the table is missing");
    Expect(LoadResourceLibrary("/nonexistent/chronovale.so") == nullptr, "a missing file is missing");
    Expect(LoadResourceLibrary("libc.so.6") == nullptr,
           "a bare name is not searched on the library path");
    if (failures == 0) printf("all resource lookups as expected\n");
    return failures == 0 ? 0 : 1;
}
