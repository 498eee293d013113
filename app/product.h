// Product information of the saver: names, key path, version and the maker's
// addresses. One constant record for the whole program; the launcher keeps
// its own copy of the few values it needs.
#pragma once

struct ProductInfo {
    const char* productName;   // also window class, window title, caption, file name
    const char* companyName;
    const char* registryKeyPath;
    const char* versionText;
    const char* buildDate;
    int firstCopyrightYear;
    const char* webDomain;     // shown as "www." followed by this
    const char* supportEmail;
};

inline constexpr ProductInfo kProduct = {
    "Chronovale",
    "Quillmere",
    "Software\\Quillmere\\Chronovale",
    "1.1",
    "Jul 15 2004",
    2004,
    "quillmere.example",
    "support@quillmere.example",
};
