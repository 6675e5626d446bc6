// The per-user settings store: HKEY_CURRENT_USER kept as one registry export text file.
#pragma once

#include "core/RegFile.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

// The four operations on a key relative to HKEY_CURRENT_USER. Each one reads or replaces the
// whole file; nothing stays open in between.
//
// The text of a REG_SZ or REG_EXPAND_SZ value (the latter verbatim); none when the key or the
// value is missing. Any other type raises "Invalid data type for '%s'".
std::optional<QString> RegReadText(const QString& key, const QString& name);
QString RegReadString(const QString& key, const QString& name, const QString& def);
// Writes a REG_SZ value. A folder or file that cannot be created raises "Failed to create key
// %s"; any other failure "Failed to set data for '%s'". The old file stays whole either way.
void RegWriteString(const QString& key, const QString& name, const QString& text);
void RegWriteInteger(const QString& key, const QString& name, int32_t value);

// Makes the writes made while it lives one replace of the file, under one lock: all of them land
// together at Commit, or none does. Each value is still written as its write operation says;
// failures are raised by the write that opens the file or by Commit (naming the group's first
// value). Without Commit nothing is written. Groups do not nest: an inner one does nothing.
struct WriteSession;
class RegWriteGroup {
public:
    RegWriteGroup();
    ~RegWriteGroup();
    RegWriteGroup(const RegWriteGroup&) = delete;
    RegWriteGroup& operator=(const RegWriteGroup&) = delete;
    void Commit();

private:
    WriteSession* Session;
};

// Makes the reads made while it lives read the file once: they all see the same version of it,
// even when another copy replaces it in between. Groups do not nest: an inner one does nothing.
struct ReadSnapshot;
class RegReadGroup {
public:
    RegReadGroup();
    ~RegReadGroup();
    RegReadGroup(const RegReadGroup&) = delete;
    RegReadGroup& operator=(const RegReadGroup&) = delete;

private:
    ReadSnapshot* Snapshot;
};

// The file: ${XDG_CONFIG_HOME:-$HOME/.config}/vantrel/HKEY_CURRENT_USER.reg.
QString RegistryFile();

// The steps of replacing the file, at which a test may cut in.
enum class RegWriteStep {
    TempCreated, // the temporary file exists and is still empty
    TempWritten, // the new file is written and flushed; the old one is still in place
    Renamed,     // the new file has replaced the old one; the folder is not flushed yet
};

// For tests: a folder in place of ${XDG_CONFIG_HOME}/vantrel (empty restores it), and an action
// run at each step of every replace.
void SetRegistryFolder(const QString& folder);
void SetRegistryWriteHook(std::function<void(RegWriteStep)> hook);

} // namespace platform
