#pragma once
// RegistryFile: the per-user registry, kept as one text file in the .reg syntax (UTF-8). Key paths are
// below HKEY_CURRENT_USER ("Software\Fernwick\Zentimo\Options"); an empty value name is the key's unnamed
// value. Key and value names compare without regard to case and keep the case they were first given.
//
// Reads look at the file as it is and take no lock: writers only ever replace it whole. The file is parsed
// again only when it is another file, or its size or modification time moved, since the last parse in
// this program. Every write takes an exclusive lock (False when it is not free within kLockWaitMs), re-reads
// the file, applies its change and renames a synced copy over the file, so two programs never lose each
// other's values and a crash leaves the old file or the new one.
// Lines that are not understood stay where they are; nothing here throws or shows anything.

#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

namespace zentimo {

class RegistryFile {
public:
    explicit RegistryFile(QString path);

    QString path() const { return m_path; }

    // Text of a text value, or the decimal number of a dword value; nothing when the key, the value or its
    // text is missing.
    std::optional<QString> textValue(const QString& keyPath, const QString& valueName) const;
    // Name and text of every text value of the key, in the order they were first written.
    QList<QPair<QString, QString>> textValues(const QString& keyPath) const;

    // Creates the key (and so its parents) when missing; an existing value keeps its place.
    bool setTextValue(const QString& keyPath, const QString& valueName, const QString& text);
    // False when the value is not there.
    bool deleteValue(const QString& keyPath, const QString& valueName);
    // Only a key that is written in the file and has no keys below it.
    bool deleteKey(const QString& keyPath);
    // Every value of the key; the key and the keys below it stay.
    bool deleteValues(const QString& keyPath);

    // The writes that steps makes on this object go into one copy under one lock, and the file is replaced
    // once: all of them land, or (when steps answers false, or the file cannot be written) none does.
    bool batch(const std::function<bool()>& steps);

    // ${XDG_CONFIG_HOME:-$HOME/.config}/zentimo/registry.reg
    static QString defaultPath();
    // Files parsed so far by this program, for tests and measurements.
    static int parseCount();

    // Larger files are read only as far as this and never rewritten; a regedit export of a whole
    // HKEY_CURRENT_USER\Software stays well below it.
    static constexpr qsizetype kMaxFileSize = qsizetype{64} * 1024 * 1024;
    static constexpr const char* kHeader = "Zentimo Registry Version 1";
    // A writer holds the lock for one write only; longer means it hangs, and waiting with it helps nobody.
    static constexpr int kLockWaitMs = 2000;

private:
    class Document;
    class Cache;
    enum class Change { Failed, Unchanged, Done };

    Document read() const;
    // Applies change in a batch's copy, or to the file under the lock.
    bool modify(const std::function<Change(Document&)>& change);
    // Under the lock: the file read afresh, changed and replaced.
    bool rewrite(const QString& target, const std::function<Change(Document&)>& change) const;

    QString m_path;
    Document* m_batch = nullptr; // the copy batch() is building
    bool m_batchChanged = false;
};

} // namespace zentimo
