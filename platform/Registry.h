// The per-user settings store: HKEY_CURRENT_USER kept as one registry export text file.
#pragma once

#include "core/RegFile.h"
#include "platform/Service.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// The four operations on a key relative to HKEY_CURRENT_USER, each one on a key of its own that
// it opens and closes (see OpenRegKey): a read reads the whole file, a write replaces it.
//
// The text of a REG_SZ or REG_EXPAND_SZ value (the latter verbatim); none when the key or the
// value is missing. Any other type raises "Invalid data type for '%s'".
std::optional<QString> RegReadText(const QString& key, const QString& name);
QString RegReadString(const QString& key, const QString& name, const QString& def);
// Writes a REG_SZ value. A folder or file that cannot be created raises "Failed to create key
// %s"; any other failure "Failed to set data for '%s'". The old file stays whole either way.
void RegWriteString(const QString& key, const QString& name, const QString& text);
void RegWriteInteger(const QString& key, const QString& name, int32_t value);

// An open key relative to HKEY_CURRENT_USER; it is the transaction. Its reads read the file once
// and all see that version of it, even when another copy replaces it in between. The first value
// set through it takes the writers' lock and reads the file again under it; the values set are
// written together, in one replace of the file, when the key is closed: all of them land or none
// does. Closing raises what the replace meets ("Failed to create key %s" when nothing was there
// yet, else "Failed to set data for '%s'" naming the first value set); so does the first value
// set, when the lock or the file cannot be had. A key destroyed without Close writes nothing.
struct WriteSession;
struct ReadSnapshot;
class OpenRegKey {
public:
    explicit OpenRegKey(QString key);
    ~OpenRegKey();
    OpenRegKey(const OpenRegKey&) = delete;
    OpenRegKey& operator=(const OpenRegKey&) = delete;

    // As RegReadText and RegReadString.
    std::optional<QString> ReadText(const QString& name);
    QString ReadString(const QString& name, const QString& def);
    // A REG_SZ value (an integer in decimal), written at Close.
    void WriteString(const QString& name, const QString& text);
    void WriteInteger(const QString& name, int32_t value);
    void Close();

private:
    QString Key;
    std::unique_ptr<ReadSnapshot> Snapshot;
    std::unique_ptr<WriteSession> Session;
};

// The file: ${XDG_CONFIG_HOME:-$HOME/.config}/vantrel/HKEY_CURRENT_USER.reg.
QString RegistryFile();

// The steps of replacing the file, at which a test may cut in.
enum class RegWriteStep {
    TempCreated, // the temporary file exists and is still empty
    TempWritten, // the new file is written and flushed; the old one is still in place
    Renamed,     // the new file has replaced the old one; the folder is not flushed yet
};

// Where the file is, and which damaged files have been reported in this run (cleared by a
// successful write), so that each damage is reported once.
class SettingsStore {
public:
    // The folder of the file; empty: ${XDG_CONFIG_HOME:-$HOME/.config}/vantrel, as it is at each
    // use.
    explicit SettingsStore(QString folder = QString()) : FixedFolder(std::move(folder)) {}
    virtual ~SettingsStore() = default;
    QString Folder() const;
    // True the first time for a file; after a successful write of the file, true again.
    bool FirstReport(const QString& file);
    void Written(const QString& file);

protected:
    // Called at each step of every replace of the file.
    virtual void Stepped(RegWriteStep step) { (void)step; }

private:
    friend struct WriteSession;
    QString FixedFolder;
    QSet<QString> Reported;
};
template <> SettingsStore& Service<SettingsStore>::Real();

} // namespace platform
