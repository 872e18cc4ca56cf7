#pragma once
// Small file-system steps that survive a crash: what they report as done is
// on the disk.

#include <string>

// Writes `text` to `strTempPath`, flushes it to disk and renames it over
// `strPath`, so `strPath` holds either its old content or all of the new.
// False with errno set when a step fails.
bool WriteFileDurably(const std::string& strTempPath, const std::string& strPath, const std::string& text);

// Flushes a file's content to disk.
bool SyncFile(const std::string& strPath);

// Flushes a folder's entries (renames, new and removed names) to disk.
bool SyncFolder(const std::string& strFolder);
