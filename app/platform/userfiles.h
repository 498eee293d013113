// Files the saver writes for the user: creating a file only where none of
// that name exists (never replacing one that appeared after a check), and
// the user's pictures folder for when the program's folder takes no files.
#pragma once

#include <cstddef>
#include <cstdio>

enum class NewFileResult { Created, NameTaken, FolderRefused };

// Opens path for binary writing if, and only if, no file of that name exists
// at that moment; the result says why not otherwise (NameTaken: something
// of that name exists; FolderRefused: the folder cannot take the file).
FILE* CreateNewFile(const char* path, NewFileResult* result);

// The user's pictures folder, ending in the platform's path separator, so a
// file name can follow directly. False when none is known or it does not fit.
bool GetPicturesFolder(char* buffer, size_t size);
